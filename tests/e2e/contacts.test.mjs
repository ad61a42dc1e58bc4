// The Address book panel in a real browser: imported contacts listed from the store, one picked
// into the explorer's selection and opened in its item window, where a bad value is refused and a
// good one saved.

import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { startPimDemo, selectionSteps } from "./pim_demo.mjs";

const CARDS = [
  "BEGIN:VCARD", "VERSION:3.0", "N:Lee;Ann;;;", "FN:Ann Lee", "EMAIL;type=INTERNET:ann@acme.example", "END:VCARD",
  "BEGIN:VCARD", "VERSION:4.0", "N:Park;Zo\u00eb;;;", "FN:Zo\u00eb Park", "END:VCARD", ""].join("\r\n");

let demo;
before(async () => { demo = await startPimDemo({ "people.vcf": CARDS }); });
after(async () => { await demo?.stop(); });

test("the Address book panel lists, selects and opens contacts", { timeout: 90000 }, async () => {
  const page = await demo.openDemo();
  const rows = page.locator("#contacts-items li");
  await rows.nth(1).waitFor();
  assert.deepEqual(await rows.allTextContents(), ["Ann Leeann@acme.example", "Zo\u00eb Park"]);

  await rows.nth(1).click();
  await page.locator("#contacts-result", { hasText: "1 selected in the explorer" }).waitFor();
  const selected = demo.run(selectionSteps(1, "LastName"));
  assert.deepEqual([selected[3], selected[5]], [1, "Park"]);

  await page.click("#contacts-open");
  const window_ = page.locator('dialog.lumora-item[open][data-kind="contact"]');
  await window_.waitFor();
  assert.equal(await window_.locator('[data-field="FirstName"]').inputValue(), "Zo\u00eb");
  await window_.locator('[data-field="Email1Address"]').fill("zoe@example.org");
  await window_.locator('[data-field="BusinessAddressStreet"]').fill("12 Elm St\nBuilding B");
  await window_.locator('button[data-name="save"]').click();
  await window_.locator(".lumora-status", { hasText: "Saved" }).waitFor();
  await page.locator("#contacts-items li", { hasText: "zoe@example.org" }).waitFor();

  const stored = demo.run(selectionSteps(1, "Email1Address"));
  assert.equal(stored[5], "zoe@example.org");
  await window_.locator('button[data-name="close"]').click();
  await window_.waitFor({ state: "detached" });
  await page.close();
});
