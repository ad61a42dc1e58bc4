// The Campaigns panel in a real browser: the recipient list of each medium, an e-mail and a fax
// campaign whose one mail opens in the page with every address on its BCC line, and the
// campaign's own text for a list without addresses. Letter campaigns: letter_campaigns.test.mjs.

import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { runAction } from "./panel_actions.mjs";
import { startPimDemo } from "./pim_demo.mjs";

let demo;
before(async () => { demo = await startPimDemo({}); });
after(async () => { await demo?.stop(); });

async function openMail(page) {
  const dialog = page.locator('dialog.lumora-item[open][data-kind="mail"]').last();
  await dialog.waitFor();
  return dialog;
}

test("the Campaigns panel runs e-mail and fax campaigns whose mail opens with its BCC line", { timeout: 90000 }, async () => {
  const page = await demo.openDemo();
  assert.deepEqual(await runAction(page, "campaign-version", "campaign-result"),
                   { outcome: "success", text: "5.1.9", boxes: [] });
  assert.deepEqual(await runAction(page, "campaign-addresses", "campaign-result"),
                   { outcome: "success", text: "2 recipients:anne@northwind.examplerobert@contoso.example", boxes: [] });

  // A file that cannot be attached is passed over; the campaign still succeeds.
  await page.fill("#campaign-attachments", "/nowhere/Price list.pdf");
  const email = await runAction(page, "campaign", "campaign-result");
  assert.deepEqual(email, { outcome: "success",
                            text: "The e-mail campaign's mail is open with 2 addresses in BCC:" +
                                  "anne@northwind.examplerobert@contoso.example", boxes: [] });
  let mail = await openMail(page);
  assert.equal(await mail.locator("header").textContent(), "mail: Our spring prices");
  assert.equal(await mail.locator('[data-field="BCC"]').inputValue(), "anne@northwind.example; robert@contoso.example");
  assert.equal(await mail.locator('[data-field="To"]').inputValue(), "");
  await mail.locator('button[data-name="close"]').click();

  await page.selectOption("#campaign-medium", "1");
  await page.fill("#campaign-attachments", "");
  const fax = await runAction(page, "campaign", "campaign-result");
  assert.equal(fax.outcome, "success", fax.text);
  assert.equal(fax.text, "The fax campaign's mail is open with 2 addresses in BCC:+44 20 7946 0101+44 161 496 0202");
  mail = await openMail(page);
  assert.equal(await mail.locator('[data-field="BCC"]').inputValue(), "+44 20 7946 0101; +44 161 496 0202");
  await mail.locator('button[data-name="close"]').click();

  await page.selectOption("#campaign-medium", "0");
  await page.fill("#campaign-xml", "<MAIL_CAMPAIGN><recipient><FirstName>Nobody</FirstName></recipient></MAIL_CAMPAIGN>");
  assert.deepEqual(await runAction(page, "campaign", "campaign-result"),
                   { outcome: "failure", text: "No valid email/fax addresses in supplied data", boxes: [] });
  assert.equal(await page.locator("dialog.lumora-item[open]").count(), 0);
  await page.close();
});
