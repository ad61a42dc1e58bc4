// The Campaigns panel: an e-mail or fax campaign over a sample recipient list, run by the
// mail-campaign control. The campaign's one mail opens in the page as an item window with every
// recipient on its BCC line, for the person to check and send.
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

  let mailControl = null;
  const needMailControl = async () => {
    if (!mailControl) mailControl = await connection.create(MAIL_CONTROL);
    return mailControl;
  };
  $("campaign-xml").value = SAMPLE_RECIPIENTS;
  $("campaign-body").value = SAMPLE_BODY;
  const recipients = () => Lumora.xml($("campaign-xml").value);
  const medium = () => $("campaign-medium").value;

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
