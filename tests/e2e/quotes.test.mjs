// The Quotes panel in a real browser: the sample quote templates filled from the sample quote's
// record by the desktop control, the in-line line table saved as .docx and as PDF (read back by
// python's zip reader and pdftotext), the HTML line table read from the template's folder and
// fetched from the bridge's own web address, each mailed in every form the PIM's message window
// then shows; and a quote the control cannot make shown as the failure it is.

import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { DemoSession } from "./demo_session.mjs";
import { closeMessageWindow as closeItemWindow, runAction } from "./panel_actions.mjs";
import { readDocx } from "./saved_docx.mjs";

const session = new DemoSession();
let page;

before(async () => {
  await session.start();
  page = await session.openDemo();
});
after(() => session.stop());

// A saved quote's paragraphs and the rows of its line table, its last table.
function readQuote(docx) {
  const { paragraphs, tables } = readDocx(docx);
  return { paragraphs, rows: tables.length ? tables[tables.length - 1] : [] };
}

const LINES = ["Office chair, mesh back", "Height-adjustable desk, 160 x 80 cm", "Mobile pedestal, three drawers",
               "Desk lamp, LED", "Floor lamp with dimmer", "Removal of the old furniture", "Two-year on-site service plan"];

async function choose(kind, output) {
  await page.selectOption("#quote-template-kind", kind);
  if (output) await page.selectOption("#quote-output", output);
}

const closeMessageWindow = () => closeItemWindow(page);

test("the panel offers the sample quote templates, the record, and the template at the bridge's address", async () => {
  assert.equal(await page.locator("#panel-quotes .not-built-note").count(), 0);
  assert.match(await page.inputValue("#quote-template"), /\/lumora-demo\/templates\/Quote\.docx$/);
  assert.match(await page.inputValue("#quote-xml"), /^<Data>[\s\S]*<quoterows>/);
  await choose("folder");
  assert.match(await page.inputValue("#quote-template"), /\/lumora-demo\/templates\/QuoteHtml\.docx$/);
  await choose("web");
  const web = await page.inputValue("#quote-template");
  assert.equal(web, `${session.url}samples/quotes/QuoteHtml.docx`);
  // The bridge serves the HTML line table beside it, as a CRM's web server would.
  const lines = await page.request.get(web.replace(/QuoteHtml\.docx$/, "QuoteLines.htm"));
  assert.equal(lines.status(), 200);
  assert.match(await lines.text(), /<!-- QuoteRowStart -->\r\n<tr><td>&lt;DESCRIPTION&gt;/);
  assert.equal((await page.request.get(web.replace(/QuoteHtml\.docx$/, "Welcome letter.dotx"))).status(), 404);
});

test("an in-line quote saved as .docx has a row per line under the captions and every tag filled", { timeout: 90000 }, async () => {
  await choose("inline", "docx");
  const save = await page.inputValue("#quote-save");
  assert.match(save, /\/Quote Q-1002\.docx$/);
  const saved = await runAction(page, "word-quote", "word-quote-result");
  assert.deepEqual(saved, { outcome: "success", text: `Saved as ${save}: Download`, boxes: [] });
  const quote = readQuote(save);
  assert.deepEqual(quote.rows[0], ["Description", "Quantity", "Unit price", "Amount"]);
  assert.equal(quote.rows.length, 9);
  assert.deepEqual(quote.rows[1], ["Office chair, mesh back", "6", "149.00", "894.00"]);
  assert.deepEqual(quote.rows[8].slice(1), ["1", "240.00", "240.00"]);
  for (const text of ["Zoë Lefèvre", "Brasserie Lumière", "Quote Q-1002", "Total excluding VAT: £3,251.40"])
    assert.ok(quote.paragraphs.includes(text), text);
  assert.doesNotMatch(quote.paragraphs.join("\n"), /<[A-Za-z_]+>/);
});

test("an in-line quote saved as PDF reads back with its lines and total", { timeout: 120000 }, async () => {
  await choose("inline", "pdf");
  const save = await page.inputValue("#quote-save");
  const saved = await runAction(page, "word-quote", "word-quote-result");
  assert.equal(saved.outcome, "success", saved.text);
  assert.equal(readFileSync(save).subarray(0, 5).toString(), "%PDF-");
  const text = execFileSync("pdftotext", ["-layout", save, "-"], { encoding: "utf8" });
  for (const line of [...LINES, "Zoë Lefèvre", "£3,251.40"]) assert.ok(text.includes(line), line);
});

test("the HTML line table from the template's folder is grouped by section in every mailed form", { timeout: 240000 }, async () => {
  await choose("folder");
  const forms = { attach: "Quote Q-1002.doc", attachhtml: "Quote Q-1002.htm", attachpdf: "Quote Q-1002.pdf" };
  for (const [format, attachment] of Object.entries(forms)) {
    await page.selectOption("#quote-format", format);
    const mailed = await runAction(page, "word-quote-mail", "word-quote-mail-result");
    assert.deepEqual(mailed, { outcome: "success", boxes: [],
                               text: "The quote is open as a message, to zoe@brasserie-lumiere.example, " +
                                     `subject "Quote: Q-1002 Brasserie Lumière", attached: ${attachment}` });
    assert.equal((await closeMessageWindow()).Attachments, attachment);
  }
  await page.selectOption("#quote-format", "body");
  const body = await runAction(page, "word-quote-mail", "word-quote-mail-result");
  assert.equal(body.outcome, "success", body.text);
  const html = (await closeMessageWindow()).HTMLBody;
  // Section headings before their lines, in the record's order; the description's line break kept.
  const order = ["Furniture", "Office chair, mesh back", "Lighting", "Desk lamp, LED", "Services", "Delivery and assembly"]
    .map((text) => html.indexOf(text));
  assert.ok(order.every((at, i) => at > (i ? order[i - 1] : -1)), JSON.stringify(order));
  assert.match(html, /Delivery and assembly(<br[^>]*>|\s)+Saturday morning, 8:00 to 12:00/);
  assert.doesNotMatch(html, /&lt;[A-Z_]+&gt;/);
});

test("the same quote is made from the template at the bridge's web address, its table fetched over HTTP", { timeout: 90000 }, async () => {
  await choose("web");
  await page.selectOption("#quote-format", "body");
  const mailed = await runAction(page, "word-quote-mail", "word-quote-mail-result");
  assert.equal(mailed.outcome, "success", mailed.text);
  const html = (await closeMessageWindow()).HTMLBody;
  for (const line of LINES) assert.ok(html.includes(line), line);
  assert.match(html, /Brasserie Lumière/);
});

test("a quote the control cannot make is shown as the failure it told", { timeout: 60000 }, async () => {
  await choose("web", "show");
  await page.fill("#quote-template", (await page.inputValue("#quote-template")).replace("QuoteHtml.docx", "Missing.docx"));
  const failed = await runAction(page, "word-quote", "word-quote-result");
  assert.equal(failed.outcome, "failure");
  assert.equal(failed.boxes.length, 1);
  assert.match(failed.boxes[0], /^An error has occurred creating a Quote in Microsoft Word\. /);
  assert.equal(failed.text, failed.boxes[0]);
});
