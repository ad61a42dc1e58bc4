// The demo CRM page: one panel per capability, each calling the real members of the controls
// through lumora.js and saying honestly whether the call did its work.
"use strict";

const CONTROL = "LumoraControl2005.LumoraCtrl2005";

// Capabilities whose outside application this build does not provide yet, by the panels'
// data-capability. A panel named here says so plainly; its buttons still call the members, and
// what they answer is judged as for any other panel. Take a name out once its capability works.
const NOT_BUILT_YET = new Set();

const $ = (id) => document.getElementById(id);

// ---- outcomes ---------------------------------------------------------------------------------

// What a call came to, as the page shows it: "success", "failure", or "unknown" where the member
// answers the same whether it worked or not.
const success = (text, list, link) => ({ kind: "success", text, list, link });
const failure = (text) => ({ kind: "failure", text });
const unknown = (text) => ({ kind: "unknown", text });

// The message boxes the control showed during the running action. The controls report most
// failures in an OK-only box and then return normally, so a box is the failure's only trace.
let boxesShown = null;
// The items the control handed to the user during the running action (a workbook, a document).
let itemsShown = null;
// The windows the control opened during the running action, as each last looked (a window's
// labels and buttons by name), kept after the window has closed: a progress window's last
// words are how the action ended.
let windowsShown = null;

function windowLook(windowSpec) {
  const look = { name: windowSpec.name, window: windowSpec.window, labels: {}, buttons: {} };
  for (const label of windowSpec.labels || []) look.labels[label.name] = label.caption;
  for (const button of windowSpec.buttons || []) look.buttons[button.name] = { ...button };
  return look;
}

function followWindow(update) {
  const look = windowsShown && windowsShown.find((shown) => shown.window === update.window);
  if (!look) return;
  for (const label of update.labels || []) look.labels[label.name] = label.caption;
  for (const button of update.buttons || []) look.buttons[button.name] = { ...button };
}

function failureFromBoxes(fallback) {
  return boxesShown && boxesShown.length ? failure(boxesShown.map((box) => box.text).join("\n")) : fallback;
}

function render(outputId, outcome) {
  const output = $(outputId);
  output.dataset.outcome = outcome.kind;
  output.classList.toggle("failed", outcome.kind === "failure");
  output.replaceChildren();
  if (outcome.list) {
    const list = document.createElement("ul");
    for (const entry of outcome.list) {
      const item = document.createElement("li");
      item.textContent = entry;
      list.appendChild(item);
    }
    output.append(outcome.text, list);
  } else {
    output.textContent = outcome.text;
  }
  if (outcome.link) {
    const link = document.createElement("a");
    link.href = outcome.link.href;
    link.download = outcome.link.name;
    link.textContent = "Download";
    output.append(": ", link);
  }
}

function errorText(error) {
  return error.number !== undefined ? `Error ${error.number}: ${error.description}` : error.message;
}

// ---- the page ---------------------------------------------------------------------------------

// A form control under its caption, as the panels' forms show their fields.
function labelled(caption, element) {
  const label = document.createElement("label");
  label.append(caption, element);
  return label;
}

function labelledInput(id, caption, value) {
  return labelled(caption, Object.assign(document.createElement("input"), { id, value }));
}

function setStatus(state, text) {
  const status = $("connection");
  status.dataset.state = state;
  status.textContent = text;
}

function markNotBuilt(panel, reason) {
  panel.classList.add("not-built");
  let note = panel.querySelector(".not-built-note");
  if (!note) {
    note = document.createElement("p");
    note.className = "not-built-note";
    panel.querySelector("h2").after(note);
  }
  note.textContent = reason || `${panel.querySelector("h2").textContent}: not built yet in this version of Lumora Desktop. ` +
    "The buttons still call the control, which answers with its own failure.";
}

const ui = {
  messageBox(request, connection) {
    if (boxesShown) boxesShown.push(request);
    return Lumora.defaultUi.messageBox(request, connection);
  },
  show(item, connection) {
    if (itemsShown) itemsShown.push(item);
    return Lumora.defaultUi.show(item, connection);
  },
  openItem(item, connection) {
    if (itemsShown) itemsShown.push(item);
    return Lumora.defaultUi.openItem(item, connection);
  },
  openWindow(windowSpec, connection) {
    if (windowsShown) windowsShown.push(windowLook(windowSpec));
    return Lumora.defaultUi.openWindow(windowSpec, connection);
  },
  updateWindow(update, connection) {
    followWindow(update);
    return Lumora.defaultUi.updateWindow(update, connection);
  },
  // How each call placed on a line goes, shown in the Telephony panel (panels/call_states.js).
  callState(report) {
    callStates.show(report);
  },
};

const callStates = new CallStateList($("call-states"), $("call-notices"));

// ---- the call log -----------------------------------------------------------------------------

const LOG_VALUE_LIMIT = 80;
const LOG_LINES_KEPT = 200;

function cut(text) {
  return text.length > LOG_VALUE_LIMIT ? text.slice(0, LOG_VALUE_LIMIT - 1) + "…" : text;
}

function logValue(value) {
  if (value === undefined) return "Empty";
  if (typeof value === "string") return cut(JSON.stringify(value));
  let text;
  try {
    text = JSON.stringify(value);
  } catch (e) {
    text = String(value);
  }
  return cut(text === undefined ? String(value) : text);
}

function logCall(entry) {
  const what = entry.method === "create" ? `create ${entry.progId}` : `${entry.member}(${entry.args.map(logValue).join(", ")})`;
  let outcome;
  if (entry.error) outcome = `error ${entry.error.number ?? entry.error.code}: ${cut(entry.error.message)}`;
  else if (entry.method === "create") outcome = `object ${entry.result.object}`;
  else outcome = logValue(entry.result);
  const line = document.createElement("li");
  line.dataset.outcome = entry.error ? "failure" : "answered";
  line.textContent = `${what} → ${outcome} (${entry.milliseconds} ms)`;
  const log = $("call-log");
  log.appendChild(line);
  while (log.children.length > LOG_LINES_KEPT) log.firstElementChild.remove();
}

const connection = Lumora.connect(undefined, {
  ui,
  onCall: logCall,
  onclose: () => setStatus("closed", "The bridge closed the connection. Reload the page to connect again."),
});
let control = null;

// Runs a panel's action with its buttons held down, so a second click cannot queue behind a
// modal question the user has not answered yet. work() answers an outcome.
async function runPanelAction(button, outputId, work) {
  const buttons = button.closest(".panel").querySelectorAll("button");
  buttons.forEach((b) => (b.disabled = true));
  boxesShown = [];
  itemsShown = [];
  windowsShown = [];
  try {
    render(outputId, await work());
  } catch (error) {
    render(outputId, failure(errorText(error)));
  } finally {
    boxesShown = null;
    itemsShown = null;
    windowsShown = null;
    buttons.forEach((b) => (b.disabled = false));
  }
}

function action(buttonId, outputId, work) {
  const button = $(buttonId);
  button.addEventListener("click", () => runPanelAction(button, outputId, work));
}

const BUTTON_NAMES = { 0: "none reported", 1: "OK", 2: "Cancel", 3: "Abort", 4: "Retry", 5: "Ignore", 6: "Yes", 7: "No" };

// ---- what the running action handed to the user --------------------------------------------------

// A download link to the produced file of the first item of that kind shown ("document",
// "workbook"), as render() offers it.
function shownLink(kind) {
  const shown = itemsShown.find((item) => item.kind === kind);
  return shown && shown.link ? { href: shown.link, name: shown.title } : undefined;
}

// The message window the running action opened, if any.
const shownMail = () => itemsShown.find((item) => item.kind === "mail");
const itemField = (item, name) => (item.fields || []).find((field) => field.name === name)?.value ?? "";

// What a shown message holds, in a line: its recipients, subject and attachments.
function describeMail(item) {
  const parts = [];
  const to = itemField(item, "To");
  parts.push(to ? `to ${to}` : "with no recipient yet");
  const subject = itemField(item, "Subject");
  if (subject) parts.push(`subject "${subject}"`);
  const attachments = itemField(item, "Attachments");
  if (attachments) parts.push(`attached: ${attachments}`);
  return parts.join(", ");
}

// ---- files: paths as the user typed them --------------------------------------------------------

// The separator the user wrote the folder with: "\" for a Windows-style path, "/" otherwise.
function separatorOf(folder) {
  return folder.includes("\\") && !folder.includes("/") ? "\\" : "/";
}

function joinPath(folder, name) {
  const separator = separatorOf(folder);
  return folder.endsWith("/") || folder.endsWith("\\") ? folder + name : folder + separator + name;
}

// A template list: names each followed by "\" from a local folder, names joined by "\" from a
// web folder, or "Empty".
function templateListOutcome(list, folder) {
  if (boxesShown.length) return failureFromBoxes();
  if (list === "Empty") return success(`No templates in ${folder}`);
  const names = String(list).split("\\").filter((name) => name !== "");
  return success(`${names.length} template${names.length === 1 ? "" : "s"} in ${folder}:`, names);
}

// ---- the panels -------------------------------------------------------------------------------

function versionPanel() {
  action("get-version", "version-result", async () => success(await control.GetVersion()));
  action("get-date-order", "date-order-result", async () => {
    const order = await control.dateFormatOrder();
    const names = { 0: "0 (month-day-year)", 1: "1 (day-month-year)", 2: "2 (year-month-day)" };
    return names[order] ? success(names[order]) : failure(`The date order could not be told (${logValue(order)})`);
  });
  action("get-currency", "currency-result", async () => {
    const symbol = await control.currencyFormat();
    return symbol ? success(symbol) : failure("The currency symbol could not be told");
  });
}

function messagePanel() {
  action("ask", "message-result", async () => {
    const answer = await control.CreateMessage($("message-text").value, Lumora.i2(Number($("message-buttons").value)),
                                              $("message-title").value);
    return success(`${answer} (${BUTTON_NAMES[answer] || "?"})`);
  });
}

function filesPanel(settings) {
  if (settings.templateFolder) $("files-folder").value = settings.templateFolder;
  action("template-list", "files-result", async () => {
    const folder = $("files-folder").value;
    return templateListOutcome(await control.GetTemplateList(folder, $("files-kind").value), folder);
  });
  action("find-file", "files-result", async () => {
    const path = joinPath($("files-folder").value, $("files-name").value);
    const found = await control.FindFile(path);
    return found === true && !boxesShown.length ? success(`Found ${path}`) : failureFromBoxes(failure(`Not found: ${path}`));
  });
}

// The parameter string the page hands to MakeCall, made from the chosen line and number; it
// stays editable, so any string a CRM page might send can be tried.
function composeCallParameters() {
  $("call-parameters").value =
    `object=LumoraGenTAPI30.Dialer;number=${$("call-number").value};tapidevice=${$("call-line").value}`;
}

function showLines(names) {
  const select = $("call-line");
  const chosen = select.value;
  select.replaceChildren(...names.map((name) => {
    const option = document.createElement("option");
    option.value = option.textContent = name;
    return option;
  }));
  if (names.includes(chosen)) select.value = chosen;
  composeCallParameters();
}

function telephonyPanel() {
  $("call-line").addEventListener("change", composeCallParameters);
  $("call-number").addEventListener("input", composeCallParameters);
  action("tapi-drivers", "telephony-result", async () => {
    const list = await control.GetTapiDrivers();
    // The control answers "" both for no lines and for a telephony service it cannot reach.
    if (!list) return unknown("No telephony lines were listed (none, or the telephony service could not be reached)");
    const names = String(list).split("~");
    showLines(names);
    return success("Telephony lines:", names);
  });
  action("make-call", "telephony-result", async () => {
    const parameters = $("call-parameters").value;
    await control.MakeCall(parameters);
    // The dialer tells every problem in a message box; without one the line took the call.
    return failureFromBoxes(success(`Call placed (${parameters})`));
  });
  action("hangup", "telephony-result", async () => {
    await control.HangupCall();
    return unknown("Hang-up sent; the control does not say whether a call was in progress");
  });
}

// Settings the bridge gives the demo page: a folder under the temporary folder with the sample
// templates in it, their paths and their record documents.
async function demoSettings() {
  try {
    const response = await fetch("/demo-settings.json");
    return response.ok ? await response.json() : {};
  } catch (e) {
    return {};
  }
}

async function start() {
  $("clear-log").addEventListener("click", () => $("call-log").replaceChildren());
  document.querySelectorAll("[data-capability]").forEach((panel) => {
    if (NOT_BUILT_YET.has(panel.dataset.capability)) markNotBuilt(panel);
  });

  try {
    control = await connection.create(CONTROL);
  } catch (error) {
    setStatus("failed", `Cannot use the desktop control: ${error.message}`);
    document.querySelectorAll("[data-capability]").forEach((panel) =>
      markNotBuilt(panel, `The desktop control is not available: ${error.message}`));
    return;
  }
  const version = await control.GetVersion();
  render("version-result", success(version));

  versionPanel();
  messagePanel();
  const settings = await demoSettings();
  filesPanel(settings);
  lettersPanel(settings);
  telephonyPanel();
  LumoraDemo.settings = settings;
  // Panels of their own files (panels/*.js) add themselves to LumoraDemo.panels.
  for (const panel of LumoraDemo.panels) {
    await Promise.resolve().then(panel).catch((error) => console.error("panel failed:", error));
  }
  setStatus("connected", `Connected — desktop control ${version}`);
}

// For the page's own tests and for anyone reading the page in the browser's console.
window.LumoraDemo = { notBuiltYet: NOT_BUILT_YET, panels: [], settings: {} };

connection.ready().then(start, (error) => setStatus("failed", error.message));
