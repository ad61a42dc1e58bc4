// The E-mail panel in a real browser: new, reply and forward messages, a quote as HTML and as a
// PDF, a contact as a vCard, each ending in the message's item window; and the mails picked in a
// mail folder captured as the CRM's add button receives them.

import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { closeMessageWindow as closeItemWindow, readView, runAction } from "./panel_actions.mjs";
import { openFilledDemo } from "./pim_demo.mjs";
import { FOLDER, PimFill } from "./pim_fill.mjs";

const NOW = "2026-12-01T09:00:00";

let demo;
let page;
let ids;

function fillStore(session) {
  const pim = new PimFill();
  const inbox = pim.defaultFolder(FOLDER.inbox);
  pim.read(inbox, "StoreID", "store");
  pim.item(inbox, "lamps", { Subject: "Desk lamps", SenderName: "Anne Dodsworth", To: "sales@lumora.example" });
  pim.item(inbox, "chairs", { Subject: "Chairs \\ stools", SenderName: "Zoë Müller", To: "sales@lumora.example" });
  for (let i = 1; i <= 10; i++) pim.item(inbox, `note${i}`, { Subject: `Note ${String(i).padStart(2, "0")}`, SenderName: "Team" });
  return pim.run(session);
}

before(async () => { ({ session: demo, page, filled: ids } = await openFilledDemo(fillStore, NOW)); });
after(async () => { await demo?.stop(); });

const closeMessageWindow = () => closeItemWindow(page);

test("new, reply and forward messages open in their window with the original quoted", { timeout: 90000 }, async () => {
  assert.deepEqual(await runAction(page, "email-send", "email-message-result"), {
    outcome: "success", boxes: [],
    text: "A new message is open in its window, to anne@northwind.example",
  });
  assert.equal((await closeMessageWindow()).To, "anne@northwind.example");

  const reply = await runAction(page, "email-reply", "email-message-result");
  assert.equal(reply.outcome, "success");
  const replied = await closeMessageWindow();
  assert.equal(replied.Subject, "RE: Desk lamps for the new office");
  // The window's text box shows the message's CR LF line ends as a browser does, as line feeds.
  assert.equal(replied.Body, "\n\n-----Original Message-----\nFrom:Anne Dodsworth\nSent:1 December 2026 09:30\n" +
                             "To:sales@lumora.example\nSubject:Desk lamps for the new office\n\n" +
                             "Could you send us a quote for four desk lamps?");

  // A forward keeps the subject prefix of a reply and leaves the recipients to the person.
  assert.equal((await runAction(page, "email-forward", "email-message-result")).outcome, "success");
  const forwarded = await closeMessageWindow();
  assert.equal(forwarded.To, "");
  assert.equal(forwarded.Subject, "RE: Desk lamps for the new office");
});

test("a quote goes out as an HTML message and as a PDF attachment", { timeout: 120000 }, async () => {
  const html = await runAction(page, "email-quote-html-mail", "email-quote-result");
  assert.deepEqual(html, { outcome: "success", boxes: [],
                           text: "The quote is open as an HTML message, to anne@northwind.example, subject \"Quote: Q-1001 Northwind Traders\"" });
  const quote = await closeMessageWindow();
  assert.match(quote.HTMLBody, /<h1>Quote Q-1001<\/h1>/);

  // No address leaves the placeholder the person overwrites; a report says so in its subject.
  await page.fill("#email-quote-address", "null");
  await page.selectOption("#email-quote-kind", "Report");
  await page.selectOption("#email-quote-address-type", "Fax");
  await runAction(page, "email-quote-html-mail", "email-quote-result");
  const report = await closeMessageWindow();
  assert.match(report.To, /ENTER THE FAX ADDRESS OF THE RECIPIENT OF THE REPORT HERE/);
  assert.equal(report.Subject, "Report on: Q-1001 Northwind Traders");

  await page.fill("#email-quote-address", "anne@northwind.example");
  await page.selectOption("#email-quote-kind", "Quote");
  await page.selectOption("#email-quote-address-type", "Email");
  const pdf = await runAction(page, "email-quote-pdf-mail", "email-quote-result");
  assert.deepEqual(pdf, { outcome: "success", boxes: [],
                          text: "The quote is open as a PDF attachment, to anne@northwind.example, " +
                                "subject \"Quote: Q-1001 Northwind Traders\", attached: Quote Q-1001.pdf" });
  assert.equal((await closeMessageWindow()).Attachments, "Quote Q-1001.pdf");
});

test("the contact in the address book's form goes out as a vCard", { timeout: 60000 }, async () => {
  const sent = await runAction(page, "email-vcard-send", "email-vcard-result");
  assert.equal(sent.outcome, "success", sent.text);
  assert.equal((await closeMessageWindow()).Attachments, "Ms Anne Dodsworth.vcf");

  // The form must hold every element the member reads: without one it answers False.
  await page.evaluate(() => document.getElementById("DEPARTMENT").remove());
  assert.deepEqual(await runAction(page, "email-vcard-send", "email-vcard-result"),
                   { outcome: "failure", text: "The contact could not be sent as a vCard (False)", boxes: [] });
  await page.reload();
  await page.waitForFunction(() => document.getElementById("email-result").dataset.outcome === "success");
});

// Picks the listed mails with these subjects, in this order (the explorer's selection).
async function pickMails(subjects) {
  await page.selectOption("#email-folder", { label: "Inbox (12)" });
  await page.waitForFunction(() => document.querySelectorAll("#email-items li").length === 12);
  for (const subject of subjects) {
    await page.locator("#email-items li", { hasText: subject }).click();
  }
  await page.waitForFunction((count) => document.getElementById("email-result").textContent === `${count} selected in the explorer`,
                             subjects.length);
}

test("the picked mails are captured as identities and as records", { timeout: 90000 }, async () => {
  assert.deepEqual(await runAction(page, "email-selection", "email-result"),
                   { outcome: "failure", text: "Please select an item to add", boxes: ["Please select an item to add"] });

  await pickMails(["Chairs", "Desk lamps"]);
  assert.deepEqual(await runAction(page, "email-selection", "email-result"),
                   { outcome: "success", text: "2 selected mails captured", boxes: [] });
  assert.deepEqual(await readView(page, "email-selection-view"), {
    raw: `${ids.chairs},${ids.store},${ids.lamps},${ids.store}`,
    rows: [[ids.chairs, ids.store], [ids.lamps, ids.store]], notes: [],
  });

  // A backslash in a subject is passed through, so that record splits where the CRM page splits it.
  assert.deepEqual(await runAction(page, "email-selection-string", "email-result"),
                   { outcome: "success", text: "2 selected mails captured with their details", boxes: [] });
  const records = await readView(page, "email-selection-view");
  assert.equal(records.raw, `${ids.chairs}\\${ids.store}\\Chairs \\ stools\\Zoë Müller\\sales@lumora.example\\` +
                            `\\\\${ids.lamps}\\${ids.store}\\Desk lamps\\Anne Dodsworth\\sales@lumora.example\\`);
  assert.deepEqual(records.rows[1], [ids.lamps, ids.store, "Desk lamps", "Anne Dodsworth", "sales@lumora.example"]);
  assert.deepEqual(records.notes, ["This record splits into 6 fields, not 5"]);

  // Eleven picked mails are more than the add button takes at a time.
  await page.click("#email-refresh");
  await pickMails(["Desk lamps", ...Array.from({ length: 10 }, (_, i) => `Note ${String(i + 1).padStart(2, "0")}`)]);
  const tooMany = "You cannot add more than 10 items at a time. Please select 10 items or less and try again.";
  assert.deepEqual(await runAction(page, "email-selection-string", "email-result"),
                   { outcome: "failure", text: tooMany, boxes: [tooMany] });
});
