// The Letters panel in a real browser: the sample templates filled from their records by the
// desktop control, the letter shown, saved as .docx and as PDF (read back from the files), and
// e-mailed through the PIM's mail item.

import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { DemoSession } from "./demo_session.mjs";
import { readDocx } from "./saved_docx.mjs";

const session = new DemoSession();
let page;

before(async () => {
  await session.start();
  page = await session.openDemo();
});
after(() => session.stop());

// The visible text of a part of a saved letter, one line per paragraph.
function partOf(docx, part) {
  return readDocx(docx, part).paragraphs.join("\n");
}

async function createLetter(kind, output) {
  await page.selectOption("#letter-kind", kind);
  await page.selectOption("#letter-output", output);
  const result = page.locator("#letter-result");
  await result.evaluate((element) => { element.textContent = "…"; delete element.dataset.outcome; });
  await page.click("#letter");
  await page.locator("#letter-result[data-outcome]").waitFor({ timeout: 60000 });
  return { outcome: await result.getAttribute("data-outcome"), text: await result.textContent(),
           save: await page.inputValue("#letter-save") };
}

test("the panel is built and offers the sample templates with their records", async () => {
  assert.equal(await page.locator("#panel-letters .not-built-note").count(), 0);
  assert.match(await page.inputValue("#letter-template"), /\/Welcome letter\.dotx$/);
  assert.match(await page.inputValue("#letter-xml"), /^<Data>/);
  await page.selectOption("#letter-kind", "seminar");
  assert.match(await page.inputValue("#letter-template"), /\/Seminar invitation\.dotx$/);
  assert.match(await page.inputValue("#letter-xml"), /^<record>/);
});

test("a letter is shown and offered for download", { timeout: 90000 }, async () => {
  const shown = await createLetter("letter", "show");
  assert.equal(shown.outcome, "success", shown.text);
  assert.match(shown.text, /^The letter is open: Download$/);
});

test("a letter saved as .docx has every tag filled, in the body, header text box and footer", { timeout: 90000 }, async () => {
  const saved = await createLetter("letter", "docx");
  assert.equal(saved.outcome, "success", saved.text);
  const body = partOf(saved.save, "word/document.xml");
  assert.match(body, /Anne Dodsworth/);
  assert.match(body, /12 Sandy Lane/);
  assert.doesNotMatch(body, /<[A-Z0-9]+>/);
  assert.match(partOf(saved.save, "word/header1.xml"), /Our ref: NW-2041/);
  assert.match(partOf(saved.save, "word/footer1.xml"), /Northwind Traders customer care/);
});

test("a seminar invitation lists the people of its record in its table", { timeout: 90000 }, async () => {
  const saved = await createLetter("seminar", "docx");
  assert.equal(saved.outcome, "success", saved.text);
  const body = partOf(saved.save, "word/document.xml");
  for (const text of ["Dear Anne,", "Robert King", "laura@fabrikam.example", "E-mail"]) assert.ok(body.includes(text), text);
});

test("a letter saved as PDF reads back with its tags filled", { timeout: 120000 }, async () => {
  const saved = await createLetter("letter", "pdf");
  assert.equal(saved.outcome, "success", saved.text);
  assert.equal(readFileSync(saved.save).subarray(0, 5).toString(), "%PDF-");
  const text = execFileSync("pdftotext", [saved.save, "-"], { encoding: "utf8" });
  assert.match(text, /Dear Anne Dodsworth,/);
});

test("a letter is e-mailed: the mail item with it is opened for the user", { timeout: 90000 }, async () => {
  const mailed = await createLetter("letter", "mail");
  assert.deepEqual(mailed, { outcome: "success", text: "The e-mail to anne@northwind.example is open: Your letter from Lumora",
                             save: "" });
});
