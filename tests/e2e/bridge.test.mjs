// The bridge in a real browser: headless Chromium opens the demo CRM page served by
// `lumora serve`, calls the desktop control's members through lumora.js and answers its message
// boxes by clicking, and a page from an origin the bridge does not allow is refused.

import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { execFileSync, spawn } from "node:child_process";
import { mkdtempSync, rmSync, existsSync, readFileSync, writeFileSync } from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";
import { chromium } from "playwright-core";
import { startBridge } from "./demo_session.mjs";
import { runAction } from "./panel_actions.mjs";

const here = path.dirname(fileURLToPath(import.meta.url));
const buildDir = process.env.LUMORA_BUILD_DIR || path.resolve(here, "../../build");
const lumora = path.join(buildDir, "bin", "lumora");
const chromiumPath = process.env.LUMORA_CHROMIUM || "/usr/bin/chromium";

let scratch;
let bridge;       // the lumora serve process
let bridgeUrl;    // http://127.0.0.1:PORT/
let bridgeLog;    // what lumora serve --verbose has written so far: {text}
let context;      // the browser
let allowedSite;  // a CRM site the bridge is told to allow
let otherSite;    // a site it is not told about

// A one-page web site on loopback whose page loads lumora.js from the bridge.
function startSite() {
  const server = http.createServer((request, response) => {
    const bridgeScript = request.url.startsWith("/?bridge=") ? decodeURIComponent(request.url.slice(9)) : "";
    response.writeHead(200, { "Content-Type": "text/html; charset=utf-8" });
    response.end(`<!DOCTYPE html><title>CRM</title><script src="${bridgeScript}lumora.js"></script>`);
  });
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}

function origin(server) {
  return `http://127.0.0.1:${server.address().port}`;
}

// The tests' window class, an in-process server library built with the tests.
const windowsLibrary = path.join(buildDir, "lib", "liblumora_e2e_windows.so");
const WINDOWS = "LumoraBridgeTest.Windows";

function runLumora(data, args) {
  return new Promise((resolve, reject) => {
    const child = spawn(lumora, ["--data", data, ...args], { stdio: "inherit" });
    child.on("exit", (code) => (code === 0 ? resolve() : reject(new Error(`lumora ${args[0]} exited with ${code}`))));
  });
}

// The phone line the telephony panel dials on: a loopback line records its calls in the data folder.
const LOOPBACK_LINE = "Loopback desk";

async function startDemoBridge(allowOrigin) {
  const data = path.join(scratch, "data");
  await runLumora(data, ["register", windowsLibrary]);
  await runLumora(data, ["lines", "add", "loopback", LOOPBACK_LINE]);
  return startBridge(scratch, data, ["--verbose", "--allow-origin", allowOrigin, "--allow-progid", WINDOWS]);
}

before(async () => {
  assert.ok(existsSync(lumora), `build the project first: ${lumora} is missing`);
  assert.ok(existsSync(windowsLibrary), `build the tests first: ${windowsLibrary} is missing`);
  scratch = mkdtempSync(path.join(os.tmpdir(), "lumora-e2e-"));
  allowedSite = await startSite();
  otherSite = await startSite();
  ({ child: bridge, url: bridgeUrl, log: bridgeLog } = await startDemoBridge(origin(allowedSite)));
  context = await chromium.launchPersistentContext(path.join(scratch, "profile"), {
    executablePath: chromiumPath,
    headless: true,
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync"],
  });
});

after(async () => {
  if (context) await context.close();
  if (bridge) {
    const exited = new Promise((resolve) => bridge.once("exit", resolve));
    bridge.kill("SIGTERM");
    await exited;
  }
  allowedSite?.close();
  otherSite?.close();
  if (scratch) rmSync(scratch, { recursive: true, force: true });
});

async function openDemo() {
  const page = await context.newPage();
  await page.goto(bridgeUrl);
  await page.locator('#connection[data-state="connected"]').waitFor({ timeout: 30000 });
  return page;
}

test("the demo page connects and shows the control's version", { timeout: 60000 }, async () => {
  const page = await openDemo();
  assert.equal(await page.locator("#connection").textContent(), "Connected — desktop control 5.8.7");
  await page.click("#get-version");
  await page.locator("#version-result", { hasText: "5.8.7" }).waitFor();
  assert.equal(await page.locator("#version-result").textContent(), "5.8.7");
  await page.close();
});

test("a Yes/No message box is answered by clicking in the page", { timeout: 60000 }, async () => {
  const page = await openDemo();
  const answers = [["4", "Yes", "6 (Yes)"], ["68", "No", "7 (No)"]];
  for (const [code, button, expected] of answers) {
    await page.selectOption("#message-buttons", code);
    await page.fill("#message-text", "Save the changes to this account?");
    await page.click("#ask");
    const box = page.locator("dialog.lumora-message[open]");
    await box.waitFor();
    assert.equal(await box.locator(".lumora-text").textContent(), "Save the changes to this account?");
    assert.deepEqual(await box.locator("button").allTextContents(), ["Yes", "No"]);
    await box.locator("button", { hasText: button }).click();
    await page.locator("#message-result", { hasText: expected }).waitFor();
    assert.equal(await page.locator("#message-result").textContent(), expected);
  }
  await page.close();
});

test("message-box text is shown as text, never as markup", { timeout: 60000 }, async () => {
  const page = await openDemo();
  const hostile = `<img src=x onerror="window.__injected = 1">Account <b>42</b>`;
  await page.selectOption("#message-buttons", "0");
  await page.fill("#message-text", hostile);
  await page.click("#ask");
  const box = page.locator("dialog.lumora-message[open]");
  await box.waitFor();
  assert.equal(await box.locator(".lumora-text").textContent(), hostile);
  assert.equal(await box.locator("img, b").count(), 0);
  await box.locator("button", { hasText: "OK" }).click();
  await page.locator("#message-result", { hasText: "1 (OK)" }).waitFor();
  assert.equal(await page.evaluate(() => window.__injected), undefined);
  await page.close();
});

test("the page's HTML goes to the control with what the user typed into its form", { timeout: 60000 }, async () => {
  const page = await openDemo();
  await page.fill("#calendar-account", "ACC-7;Typed <by> the user");
  await page.fill("#contact-xml", "<record id=\"C-9\"/>");
  await page.selectOption("#message-buttons", "68");
  const html = await page.evaluate(() => Lumora.html(document).$html);
  assert.match(html, /^<!DOCTYPE html>/);
  const parsed = await page.evaluate((text) => {
    const doc = new DOMParser().parseFromString(text, "text/html");
    return {
      account: doc.getElementById("calendar-account").getAttribute("value"),
      contact: doc.getElementById("contact-xml").textContent,
      buttons: doc.querySelector("#message-buttons option[selected]").value,
    };
  }, html);
  assert.deepEqual(parsed, { account: "ACC-7;Typed <by> the user", contact: "<record id=\"C-9\"/>", buttons: "68" });
  await page.close();
});

test("a modal window opened by a call is shown in the page and driven by its buttons", { timeout: 60000 }, async () => {
  const page = await openDemo();
  await page.evaluate(async (progId) => {
    const windows = await Lumora.connect().create(progId);
    window.__modal = windows.Modal(0);
  }, WINDOWS);
  const dialog = page.locator('dialog.lumora-window[open][data-window="frmWait"]');
  await dialog.waitFor();
  assert.equal(await dialog.locator("header").textContent(), "Waiting");
  assert.equal(await dialog.locator('[data-name="lblStatus"]').textContent(), "Waiting");
  assert.deepEqual(await dialog.locator("button").allTextContents(), ["Cancel", "OK"]);

  await dialog.locator('button[data-name="cmdCancel"]').click();
  const cancel = dialog.locator('button[data-name="cmdCancel"]');
  await page.waitForFunction(() => document.querySelector('button[data-name="cmdCancel"]').disabled);
  assert.equal(await cancel.textContent(), "Cancelling...");

  await dialog.locator('button[data-name="cmdHide"]').click();
  assert.equal(await page.evaluate(() => window.__modal), "hidden");
  assert.equal(await page.locator("dialog.lumora-window").count(), 0);
  await page.close();
});

test("a file shown to the user is offered with a link to download it", { timeout: 60000 }, async () => {
  const letter = path.join(scratch, "Letter to Anne.docx");
  writeFileSync(letter, "PK letter");
  const page = await openDemo();
  await page.evaluate(async ([progId, file]) => {
    const windows = await Lumora.connect().create(progId);
    await windows.ShowFile(file);
  }, [WINDOWS, letter]);
  const toast = page.locator('.lumora-toast[data-kind="document"]');
  await toast.waitFor();
  assert.match(await toast.textContent(), /^document: Letter/);
  const link = await toast.locator("a").getAttribute("href");
  assert.match(link, /^http:\/\/127\.0\.0\.1:\d+\/files\/[0-9a-f]{32}\/Letter%20to%20Anne\.docx$/);
  const response = await page.request.get(link);
  assert.equal(response.status(), 200);
  assert.equal(await response.text(), "PK letter");
  await page.close();
});

test("a page from an allowed CRM origin calls the control", { timeout: 60000 }, async () => {
  const page = await context.newPage();
  await page.goto(`${origin(allowedSite)}/?bridge=${encodeURIComponent(bridgeUrl)}`);
  const version = await page.evaluate(async () => {
    const ctl = await Lumora.connect().create("LumoraControl2005.LumoraCtrl2005");
    return ctl.GetVersion();
  });
  assert.equal(version, "5.8.7");
  await page.close();
});

test("a page from an origin the bridge does not allow is refused", { timeout: 60000 }, async () => {
  const page = await context.newPage();
  await page.goto(`${origin(otherSite)}/?bridge=${encodeURIComponent(bridgeUrl)}`);
  const outcome = await page.evaluate(async () => {
    try {
      const ctl = await Lumora.connect().create("LumoraControl2005.LumoraCtrl2005");
      return `connected: ${await ctl.GetVersion()}`;
    } catch (error) {
      return `refused: ${error.message}`;
    }
  });
  assert.match(outcome, /^refused: Cannot reach the Lumora bridge/);
  // The refusal did not take the bridge down: the demo page still connects.
  const demo = await openDemo();
  await demo.close();
  await page.close();
});

test("a class the bridge does not create for pages is refused with the option that allows it", { timeout: 60000 }, async () => {
  const page = await openDemo();
  const refusal = await page.evaluate(async () => {
    try {
      await Lumora.connect().create("Scripting.FileSystemObject");
      return null;
    } catch (error) {
      return { message: error.message, number: error.number, description: error.description };
    }
  });
  assert.deepEqual(refusal, {
    message: "Pages may not create: 'Scripting.FileSystemObject'; start lumora serve with --allow-progid " +
             "Scripting.FileSystemObject to allow it",
    number: 429,
    description: "ActiveX component can't create object",
  });
  await page.close();
});

// ---- the demo page, panel by panel --------------------------------------------------------------

// The checks of the panels whose capability this build offers, by data-capability.
// The PIM panels over an empty store; calendar.test.mjs and contacts.test.mjs fill one.
async function emptyPimPanel(page, prefix, noun, folder) {
  assert.deepEqual(await runAction(page, `${prefix}-refresh`, `${prefix}-result`),
                   { outcome: "success", text: `0 ${noun}s in ${folder} (0)`, boxes: [] });
  assert.deepEqual(await runAction(page, `${prefix}-open`, `${prefix}-result`),
                   { outcome: "failure", text: `Pick one of the ${noun}s first`, boxes: [] });
}

const BUILT_PANELS = {
  // campaigns.test.mjs runs campaigns on a store of its own.
  async campaigns(page) {
    assert.deepEqual(await runAction(page, "campaign-version", "campaign-result"),
                     { outcome: "success", text: "5.1.9", boxes: [] });
    assert.deepEqual(await runAction(page, "campaign-addresses", "campaign-result"),
                     { outcome: "success", text: "2 recipients:anne@northwind.examplerobert@contoso.example", boxes: [] });
  },
  calendar: (page) => emptyPimPanel(page, "calendar", "appointment", "Calendar"),
  // contact_sync.test.mjs and tasks.test.mjs fill a store of their own; here it is empty, and
  // the record written is refused before anything is stored, so the Address book stays empty.
  async contacts(page) {
    assert.deepEqual(await runAction(page, "contact-folders", "contact-import-result"),
                     { outcome: "success", text: "1 contact folder listed", boxes: [] });
    assert.equal(await page.locator("#contact-folders-view pre").textContent(), "Contacts#~");
    assert.deepEqual(await runAction(page, "unsynced-contacts", "unsynced-result"),
                     { outcome: "success", text: "0 contacts not yet in the CRM", boxes: [] });
    await page.fill("#contact-xml", "<record id=\"C-1\"/>");
    const blank = "FirstName and LastName appear to be blank, skipping this record.";
    assert.deepEqual(await runAction(page, "contact", "contact-result"), { outcome: "failure", text: blank, boxes: [blank] });
  },
  async tasks(page) {
    assert.deepEqual(await runAction(page, "task-folders", "task-result"),
                     { outcome: "success", text: "1 task folder listed", boxes: [] });
    assert.deepEqual(await runAction(page, "task-unsynced-scan", "task-unsynced-result"),
                     { outcome: "success", text: "0 tasks not yet in the CRM", boxes: [] });
  },
  "address-book": (page) => emptyPimPanel(page, "contacts", "contact", "Contacts"),
  // email.test.mjs drives every action on mails of its own; here a new message opens, and an
  // empty selection is refused in the control's words.
  async email(page) {
    assert.deepEqual(await runAction(page, "email-send", "email-message-result"), {
      outcome: "success", text: "A new message is open in its window, to anne@northwind.example", boxes: [],
    });
    const window_ = page.locator('dialog.lumora-item[open][data-kind="mail"]');
    await window_.locator('button[data-name="close"]').click();
    await window_.waitFor({ state: "detached" });
    const none = "Please select an item to add";
    assert.deepEqual(await runAction(page, "email-selection", "email-result"), { outcome: "failure", text: none, boxes: [none] });
  },
  // Every output of the Letters panel is checked in letters.test.mjs; here the letter is shown.
  async letters(page) {
    const shown = await runAction(page, "letter", "letter-result");
    assert.deepEqual([shown.outcome, shown.boxes], ["success", []], shown.text);
  },
  async version(page) {
    assert.deepEqual(await runAction(page, "get-version", "version-result"), { outcome: "success", text: "5.8.7", boxes: [] });
    assert.equal((await runAction(page, "get-date-order", "date-order-result")).outcome, "success");
    assert.equal((await runAction(page, "get-currency", "currency-result")).outcome, "success");
  },

  // quotes.test.mjs makes the Word quotes in every form; here the in-line sample quote is shown,
  // and the page's line table goes to Excel.
  async quotes(page) {
    assert.deepEqual(await runAction(page, "word-quote", "word-quote-result"),
                     { outcome: "success", text: "The quote is open in Word: Download", boxes: [] });
    // Product and Price are chosen at first; Quantity is added, so every caption is exported.
    await page.check('#quote-columns input[value="Quantity"]');
    const result = await runAction(page, "excel-quote", "quote-result");
    assert.equal(result.outcome, "success", result.text);
    assert.match(result.text, /^The quote is in Book\d+\.xlsx: Download$/);
    const link = await page.locator("#quote-result a").getAttribute("href");
    const response = await page.request.get(link);
    assert.equal(response.status(), 200);
    // The download is a spreadsheet openpyxl reads: captions in bold in row 1, lines from row 3.
    const downloaded = path.join(scratch, "quote.xlsx");
    writeFileSync(downloaded, await response.body());
    const reader = path.resolve(here, "../support/read_xlsx.py");
    const python = existsSync("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    const sheet = JSON.parse(execFileSync(python, [reader, downloaded], { encoding: "utf-8" })).sheets[0];
    const cell = (row, column) => sheet.cells.find(([r, c]) => r === row && c === column)?.slice(2);
    assert.deepEqual([cell(1, 1), cell(1, 2), cell(1, 3)], [["Product", "s", true], ["Quantity", "s", true], ["Price", "s", true]]);
    assert.equal(cell(2, 1), undefined);
    // The amounts reach the sheet as numbers, the product names as text.
    assert.deepEqual([cell(3, 1), cell(3, 3), cell(4, 2)], [["Desk lamp", "s", false], [19.9, "n", false], [2, "n", false]]);
  },

  async message(page) {
    await page.selectOption("#message-buttons", "0");
    const answer = await runAction(page, "ask", "message-result");
    assert.deepEqual(answer, { outcome: "success", text: "1 (OK)", boxes: ["Save the changes to this account?"] });
  },

  async files(page) {
    // The defaults: the demo's folder under the temporary folder, with the sample templates in it.
    const folder = await page.inputValue("#files-folder");
    assert.equal(folder, path.join(scratch, "temp", "lumora-demo", "templates") + "/");
    const templates = ["Seminar invitation.dotx", "Welcome letter.dotx"];
    assert.deepEqual(await runAction(page, "template-list", "files-result"),
                     { outcome: "success", text: `2 templates in ${folder}:${templates.join("")}`, boxes: [] });
    assert.deepEqual(await page.locator("#files-result li").allTextContents(), templates);
    assert.deepEqual(await runAction(page, "find-file", "files-result"),
                     { outcome: "success", text: `Found ${folder}Welcome letter.dotx`, boxes: [] });

    // A path typed with "\" is shown with "\".
    const typed = folder.replaceAll("/", "\\").replace(/\\$/, "");
    await page.fill("#files-folder", typed);
    assert.deepEqual(await runAction(page, "find-file", "files-result"),
                     { outcome: "success", text: `Found ${typed}\\Welcome letter.dotx`, boxes: [] });

    // The control's failures are shown as failures, in its own words.
    await page.fill("#files-folder", folder);
    await page.fill("#files-name", "Missing.dotx");
    const missing = await runAction(page, "find-file", "files-result");
    assert.equal(missing.outcome, "failure");
    assert.match(missing.text, /^Unable to find the file 'Missing\.dotx' in folder '/);
    await page.fill("#files-kind", "doc");
    const noKind = await runAction(page, "template-list", "files-result");
    assert.equal(noKind.outcome, "failure");
    assert.match(noKind.text, /^Unable to retrieve a list of templates from '/);
  },

  // With no account the PIM keeps everything here, and the panel says so; its syncs with a real
  // server are team_calendars.test.mjs's.
  async accounts(page) {
    for (const button of ["accounts-refresh", "accounts-sync"]) {
      const outcome = await runAction(page, button, "accounts-result");
      assert.equal(outcome.outcome, "unknown", outcome.text);
      assert.match(outcome.text, /^No accounts: the PIM keeps everything on this computer/);
    }
    assert.equal(await page.locator("#accounts-list li").count(), 0);
  },

  async telephony(page) {
    assert.deepEqual(await runAction(page, "tapi-drivers", "telephony-result"),
                     { outcome: "success", text: `Telephony lines:${LOOPBACK_LINE}`, boxes: [] });
    assert.equal(await page.inputValue("#call-line"), LOOPBACK_LINE);
    await page.fill("#call-number", "0161 496 0000");
    const parameters = `object=LumoraGenTAPI30.Dialer;number=0161 496 0000;tapidevice=${LOOPBACK_LINE}`;
    assert.equal(await page.inputValue("#call-parameters"), parameters);
    assert.deepEqual(await runAction(page, "make-call", "telephony-result"),
                     { outcome: "success", text: `Call placed (${parameters})`, boxes: [] });
    assert.equal((await runAction(page, "hangup", "telephony-result")).outcome, "unknown");
    const record = readFileSync(path.join(scratch, "data", "loopback-calls.log"), "utf8");
    assert.equal(record, `${LOOPBACK_LINE}\tconnect\t0161 496 0000\n${LOOPBACK_LINE}\tdisconnect\t0161 496 0000\n`);
    // The panel follows the call as the line reports it: ringing and answered at connect, ended at hang-up.
    const call = page.locator('#call-states li[data-state="ended"]').first();
    await call.waitFor();
    assert.equal(await call.getAttribute("data-states"), "ringing answered ended");

    // The dialer's own messages are shown in the page, and the panel shows them as the failure.
    await page.fill("#call-number", "0800 FLOWERS");
    const refused = await runAction(page, "make-call", "telephony-result");
    assert.deepEqual(refused.boxes, ["An error occured whilst creating call: '0800 FLOWERS' is not a phone number: " +
                                     "only digits, blanks, + - . ( ) * # may be dialled"]);
    assert.equal(refused.outcome, "failure");
    assert.equal(refused.text, refused.boxes[0]);
  },
};

// Members that work although their panel's capability is not built yet, with what they answer.
const WORKING_IN_UNBUILT_PANELS = {};

test("every panel of the demo page does its work or says plainly that it is not built yet", { timeout: 180000 }, async () => {
  const page = await openDemo();
  const notBuilt = await page.evaluate(() => [...window.LumoraDemo.notBuiltYet]);
  const panels = await page.locator("[data-capability]").evaluateAll((all) => all.map((panel) => ({
    capability: panel.dataset.capability,
    // Each button with the output of its part of the panel, or of the panel.
    buttons: [...panel.querySelectorAll(".actions button")]
      .map((button) => [button.id, (button.closest(".part") || panel).querySelector("output").id]),
  })));
  assert.ok(panels.length >= 9, "the demo page lost panels");

  for (const panel of panels) {
    if (!notBuilt.includes(panel.capability)) {
      assert.ok(BUILT_PANELS[panel.capability], `no check for the built panel "${panel.capability}"`);
      await BUILT_PANELS[panel.capability](page);
      continue;
    }
    const note = page.locator(`[data-capability="${panel.capability}"] .not-built-note`);
    assert.match(await note.textContent(), /not built yet/);
    for (const [button, output] of panel.buttons) {
      const result = await runAction(page, button, output);
      if (WORKING_IN_UNBUILT_PANELS[button]) {
        assert.deepEqual(result, { outcome: "success", text: WORKING_IN_UNBUILT_PANELS[button], boxes: [] });
        continue;
      }
      assert.notEqual(result.outcome, "success",
                      `${panel.capability}: ${button} showed "${result.text}" as a success`);
      // A failure the control reported in a message box is what the panel shows.
      if (result.outcome === "failure" && result.boxes.length) assert.equal(result.text, result.boxes.join("\n"));
    }
  }

  // Every call is in the page's call log and in the bridge's.
  const lines = await page.locator("#call-log li").allTextContents();
  assert.ok(lines.some((line) => /^GetVersion\(\) → "5\.8\.7" \(\d+ ms\)$/.test(line)), lines.join("\n"));
  // The Contacts panel's calls are logged with their arguments: the folder chosen before the
  // refused record, and the folder list with its switch.
  assert.ok(lines.some((line) => /^SetContactFolder\("Contacts"\) → \{"\$empty":true\} \(\d+ ms\)$/.test(line)), lines.join("\n"));
  assert.ok(lines.some((line) => /^GetContactFolderList\("import"\) → "Contacts#~" \(\d+ ms\)$/.test(line)), lines.join("\n"));
  assert.match(bridgeLog.text, /^page \d+: GetVersion\(\) -> "5\.8\.7" \(\d+\.\d ms\)$/m);
  await page.close();
});
