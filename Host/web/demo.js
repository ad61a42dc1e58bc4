// The demo CRM page: one panel per capability, each calling the real members of the controls
// through lumora.js.
"use strict";

const CONTROL = "LumoraControl2005.LumoraCtrl2005";
const MAIL_CONTROL = "LumoraMailContl.LumoraMailCtrl";
// The text the control reports for work this build does not offer yet.
const NOT_BUILT = "doesn't support this action";

const SAMPLE_LETTER = `<Data>
  <field name="company" templatetag="COMPANY" label="Company"/>
  <field name="contact" templatetag="CONTACT" label="Contact"/>
  <Data>
    <entry fieldname="company" value="Northwind Traders"/>
    <entry fieldname="contact" value="Anne Dodsworth"/>
  </Data>
</Data>`;
const SAMPLE_CONTACT = `<record id="C-2001">
  <field name="FIRSTNAME" value="Anne"/>
  <field name="LASTNAME" value="Dodsworth"/>
  <field name="EMAIL1ADDRESS" value="anne@northwind.example"/>
</record>`;
const SAMPLE_CAMPAIGN = `<MAIL_CAMPAIGN>
  <recipient><FirstName>Anne</FirstName><Company>Northwind Traders</Company></recipient>
  <recipient><FirstName>Robert</FirstName><Company>Contoso</Company></recipient>
  <fieldlist>
    <field fieldname="FirstName" mergeheader="FirstName" templatetag="FIRSTNAME"/>
    <field fieldname="Company" mergeheader="Company" templatetag="COMPANY"/>
  </fieldlist>
</MAIL_CAMPAIGN>`;

const $ = (id) => document.getElementById(id);
let activePanel = null;

function setStatus(state, text) {
  const status = $("connection");
  status.dataset.state = state;
  status.textContent = text;
}

function markNotBuilt(panel, what) {
  panel.classList.add("not-built");
  let note = panel.querySelector(".not-built-note");
  if (!note) {
    note = document.createElement("p");
    note.className = "not-built-note";
    panel.querySelector("h2").after(note);
  }
  note.textContent = `${what} is not built yet in this version of Lumora Desktop.`;
}

// Message boxes go to the page's default dialogs; one that only says the work is not built
// yet also marks the panel that asked.
const ui = {
  messageBox(request, connection) {
    if (activePanel && String(request.text).includes(NOT_BUILT)) {
      markNotBuilt(activePanel, activePanel.querySelector("h2").textContent);
    }
    return Lumora.defaultUi.messageBox(request, connection);
  },
};

const connection = Lumora.connect(undefined, {
  ui,
  onclose: () => setStatus("closed", "The bridge closed the connection. Reload the page to connect again."),
});
let control = null;
let mailControl = null;

function show(outputId, value) {
  const output = $(outputId);
  output.classList.remove("failed");
  if (value === undefined) output.textContent = "(empty)";
  else if (value === true || value === false) output.textContent = value ? "True" : "False";
  else output.textContent = String(value);
  return value;
}

function showFailure(outputId, error) {
  const output = $(outputId);
  output.classList.add("failed");
  output.textContent = error.number !== undefined ? `Error ${error.number}: ${error.description}` : error.message;
}

// Runs a panel's action with its buttons held down, so a second click cannot queue behind a
// modal question the user has not answered yet.
function action(buttonId, outputId, work) {
  const button = $(buttonId);
  button.addEventListener("click", async () => {
    const panel = button.closest(".panel");
    const buttons = panel.querySelectorAll("button");
    buttons.forEach((b) => (b.disabled = true));
    activePanel = panel;
    try {
      const value = await work();
      if (typeof value === "string" && value.includes(NOT_BUILT)) markNotBuilt(panel, panel.querySelector("h2").textContent);
      show(outputId, value);
    } catch (error) {
      // 429: an outside application this capability drives is not part of this build yet.
      if (error.number === 429) markNotBuilt(panel, panel.querySelector("h2").textContent);
      showFailure(outputId, error);
    } finally {
      activePanel = null;
      buttons.forEach((b) => (b.disabled = false));
    }
  });
}

const BUTTON_NAMES = { 0: "none reported", 1: "OK", 2: "Cancel", 3: "Abort", 4: "Retry", 5: "Ignore", 6: "Yes", 7: "No" };

async function start() {
  $("letter-xml").value = SAMPLE_LETTER;
  $("contact-xml").value = SAMPLE_CONTACT;
  $("campaign-xml").value = SAMPLE_CAMPAIGN;

  try {
    control = await connection.create(CONTROL);
  } catch (error) {
    setStatus("failed", `Cannot use the desktop control: ${error.message}`);
    document.querySelectorAll('[data-needs="control"]').forEach((panel) => markNotBuilt(panel, panel.querySelector("h2").textContent));
    return;
  }
  const version = await control.GetVersion();
  show("version-result", version);
  setStatus("connected", `Connected — desktop control ${version}`);

  try {
    mailControl = await connection.create(MAIL_CONTROL);
  } catch (error) {
    markNotBuilt($("panel-campaigns"), "The mail-campaign control");
  }

  action("get-version", "version-result", () => control.GetVersion());
  action("get-date-order", "date-order-result", async () => {
    const order = await control.dateFormatOrder();
    return { 0: "0 (month-day-year)", 1: "1 (day-month-year)", 2: "2 (year-month-day)" }[order] || order;
  });
  action("get-currency", "currency-result", () => control.currencyFormat());

  action("ask", "message-result", async () => {
    const answer = await control.CreateMessage($("message-text").value, Lumora.i2(Number($("message-buttons").value)),
                                              $("message-title").value);
    return `${answer} (${BUTTON_NAMES[answer] || "?"})`;
  });

  action("letter", "letter-result", async () => {
    const result = await control.CreateLetterXML(Lumora.xml($("letter-xml").value), $("letter-template").value, "",
                                                 "HTML", $("letter-save").value);
    return result === undefined ? "done" : result;
  });

  action("appointment", "appointment-result", () =>
    control.NewAppointment($("appointment-account").value, $("appointment-server").value, $("appointment-directory").value));

  action("contact", "contact-result", () => control.AddUpdateContactXML($("contact-xml").value, true, true));
  action("contact-folders", "contact-result", () => control.GetContactFolderList());

  action("tapi-drivers", "telephony-result", () => control.GetTapiDrivers());
  action("make-call", "telephony-result", async () => {
    await control.MakeCall($("call-parameters").value);
    return "dialling";
  });
  action("hangup", "telephony-result", async () => {
    await control.HangupCall();
    return "hung up";
  });

  action("campaign-version", "campaign-result", () => {
    if (!mailControl) throw new Error("The mail-campaign control is not available");
    return mailControl.GetVersion();
  });
  action("campaign", "campaign-result", () => {
    if (!mailControl) throw new Error("The mail-campaign control is not available");
    return mailControl.RunCampaign(Lumora.xml($("campaign-xml").value), "2", "", "", $("campaign-template").value, "", "1");
  });

  action("template-list", "files-result", () => control.GetTemplateList($("files-folder").value, $("files-kind").value));
  action("find-file", "files-result", () => control.FindFile($("files-folder").value));
}

connection.ready().then(start, (error) => setStatus("failed", error.message));
