// The Campaigns panel: an e-mail or fax campaign over a sample recipient list, run by the
// mail-campaign control. The campaign's one mail opens in the page as an item window with every
// recipient on its BCC line, for the person to check and send. A letter campaign merges the
// sample letter with every recipient, in the control's progress window or directly, and offers
// the one document of letters; how it ended is read from what the window last said.
"use strict";

LumoraDemo.panels.push(() => {
  const MAIL_CONTROL = "LumoraMailContl.LumoraMailCtrl";
  const MEDIA = { 0: "e-mail", 1: "fax", 2: "letter" };

  const SAMPLE_RECIPIENTS = `<MAIL_CAMPAIGN>
  <fieldlist>
    <field fieldname="FirstName" mergeheader="FirstName" templatetag="FIRSTNAME"/>
    <field fieldname="Company" mergeheader="Company" templatetag="COMPANY"/>
  </fieldlist>
  <recipient><FirstName>Anne</FirstName><Company>Northwind Traders</Company>
    <Email1Address>anne@northwind.example</Email1Address><BusinessFaxNumberFormatted>+44 20 7946 0101</BusinessFaxNumberFormatted></recipient>
  <recipient><FirstName>Robert</FirstName><Company>Contoso</Company>
    <Email1Address>robert@contoso.example</Email1Address></recipient>
  <recipient><FirstName>Maria</FirstName><Company>Fabrikam</Company>
    <BusinessFaxNumberFormatted>+44 161 496 0202</BusinessFaxNumberFormatted></recipient>
</MAIL_CAMPAIGN>`;
  const SAMPLE_BODY = "<html><body><p>Dear customer,</p><p>our spring prices are attached.</p></body></html>";

  // The addresses of a recipient list or a BCC line, as a person reads them.
  const addressesOf = (text) => String(text).split(";").map((address) => address.trim()).filter(Boolean);

  // The progress window's labels, and the texts by which it says how the merge ended.
  const PROGRESS_WINDOW = "frmMergeProgress";
  const CANCELLED_TEXT = "Merge cancelled by user.";
  const COMPLETED = /^Mailmerge completed - (\d+) rows\.$/;

  const letters = (count) => `${count} letter${count === 1 ? "" : "s"}`;

  // The recipient list with its records repeated `times` times (the field list once), so a person
  // can watch a long merge and cancel it. The first record stays first, as the merge takes it as
  // the model for the columns.
  function repeatedRecipients(text, times) {
    if (times <= 1) return Lumora.xml(text);
    const doc = new DOMParser().parseFromString(text, "application/xml");
    const campaign = doc.documentElement;
    if (doc.getElementsByTagName("parsererror").length) return Lumora.xml(text);
    const records = [...campaign.children].filter((child) => child.nodeName !== "fieldlist");
    for (let copy = 1; copy < times; ++copy)
      for (const record of records) campaign.appendChild(record.cloneNode(true));
    return Lumora.xml(doc);
  }

  const recordCount = (text, times) => {
    const doc = new DOMParser().parseFromString(text, "application/xml");
    if (doc.getElementsByTagName("parsererror").length) return 0;
    return [...doc.documentElement.children].filter((child) => child.nodeName !== "fieldlist").length * times;
  };

  // How a window merge ended, from the window's last words: a failure's label, the person's
  // cancel, or the completed merge's row count with the document it left open.
  function windowMergeOutcome(letterLink) {
    const window_ = windowsShown.find((shown) => shown.name === PROGRESS_WINDOW);
    if (!window_) return failureFromBoxes(unknown("The campaign answered Success, but no progress window was shown"));
    const error = window_.labels.lblMergeError;
    if (error) return failure(error);
    const progress = window_.labels.lblProgress2 || "";
    if (progress === CANCELLED_TEXT) return { kind: "cancelled", text: "The merge was cancelled: no letters were made" };
    const completed = COMPLETED.exec(progress);
    if (!completed) return failureFromBoxes(failure(`The merge stopped at "${progress || "its start"}"`));
    if (!letterLink) return unknown(`The merge made ${letters(Number(completed[1]))}, but no document was offered`);
    return success(`${letters(Number(completed[1]))} merged into one document`, undefined, letterLink);
  }

  // Each letter campaign runs in a control of its own, let go when the campaign ends, so the word
  // processor it drove and the letters' data source go with it; the letters stay offered.
  async function runLetterCampaign() {
    const times = Number($("campaign-repeat").value) || 1;
    const mergeInWindow = $("campaign-merge").value;
    const control = await connection.create(MAIL_CONTROL);
    let result;
    try {
      result = await control.RunCampaign(repeatedRecipients($("campaign-xml").value, times), "2", "", "",
                                         $("campaign-template").value, "", mergeInWindow);
    } finally {
      control.$release().catch(() => {});
    }
    if (result !== "Success") return failure(String(result));
    const letterLink = shownLink("document");
    if (mergeInWindow === "1") return windowMergeOutcome(letterLink);
    if (!letterLink) return failureFromBoxes(unknown("The campaign answered Success, but no document was offered"));
    return success(`${letters(recordCount($("campaign-xml").value, times))} merged into one document`, undefined, letterLink);
  }

  let mailControl = null;
  const needMailControl = async () => {
    if (!mailControl) mailControl = await connection.create(MAIL_CONTROL);
    return mailControl;
  };
  $("campaign-xml").value = SAMPLE_RECIPIENTS;
  $("campaign-body").value = SAMPLE_BODY;
  const settings = LumoraDemo.settings;
  $("campaign-template").value = settings.campaignLetter || "";
  const recipients = () => Lumora.xml($("campaign-xml").value);
  const medium = () => $("campaign-medium").value;

  // Each medium shows its own fields; a sample list the person has not edited follows the medium.
  const letterRecipients = settings.campaignRecipients || SAMPLE_RECIPIENTS;
  $("campaign-medium").addEventListener("change", () => {
    const letter = medium() === "2";
    $("campaign-mail-fields").hidden = letter;
    $("campaign-letter-fields").hidden = !letter;
    const xml = $("campaign-xml");
    if (xml.value === SAMPLE_RECIPIENTS || xml.value === letterRecipients)
      xml.value = letter ? letterRecipients : SAMPLE_RECIPIENTS;
  });

  action("campaign-version", "campaign-result", async () => {
    const version = await (await needMailControl()).GetVersion();
    return version === "Unknown" ? failure("The version could not be read (Unknown)") : success(version);
  });

  action("campaign-addresses", "campaign-result", async () => {
    const control = await needMailControl();
    const list = medium() === "1" ? await control.BuildFaxAddressList(recipients())
                                  : await control.BuildAddressList(recipients());
    const addresses = addressesOf(list);
    if (!addresses.length) return failure("The list holds no addresses for this medium");
    return success(`${addresses.length} recipient${addresses.length === 1 ? "" : "s"}:`, addresses);
  });

  action("campaign", "campaign-result", async () => {
    if (medium() === "2") return runLetterCampaign();
    const control = await needMailControl();
    const result = await control.RunCampaign(recipients(), medium(), $("campaign-subject").value,
                                             $("campaign-body").value, "", $("campaign-attachments").value);
    if (result !== "Success") return failure(String(result));
    const mail = itemsShown.find((item) => item.kind === "mail");
    if (!mail) return failureFromBoxes(success(`The ${MEDIA[medium()]} campaign ran (Success)`));
    const bcc = (mail.fields || []).find((field) => field.name === "BCC");
    const addresses = addressesOf(bcc ? bcc.value : "");
    return success(`The ${MEDIA[medium()]} campaign's mail is open with ${addresses.length} ` +
                   `address${addresses.length === 1 ? "" : "es"} in BCC:`, addresses);
  });
});
