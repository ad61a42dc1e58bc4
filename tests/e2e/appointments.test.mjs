// The Calendar panel's CRM actions in a real browser: a new appointment linked to an account,
// opened in its window and saved there; the picked appointment linked to an account; and an
// appointment opened by its id, or refused with the store's own message.

import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { runAction } from "./panel_actions.mjs";
import { startPimDemo } from "./pim_demo.mjs";

const CALENDAR = [
  "BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Test//EN",
  "BEGIN:VEVENT", "UID:a", "DTSTAMP:20261201T080000Z", "DTSTART:20261208T100000", "DTEND:20261208T110000",
  "SUMMARY:Site visit", "END:VEVENT", "END:VCALENDAR", ""].join("\r\n");

let demo;
before(async () => { demo = await startPimDemo({ "calendar.ics": CALENDAR }); });
after(async () => { await demo?.stop(); });

// The marks of the calendar's appointment at a position, as the object model reads them.
function marksOf(position) {
  const steps = [
    { create: "Outlook.Application", as: "ol" },
    { call: "ol", member: "GetNamespace", args: ["MAPI"], as: "ns" },
    { call: "ns", member: "GetDefaultFolder", args: [9], as: "calendar" },
    { get: "calendar", member: "Items", as: "items" },
    { call: "items", member: "Item", args: [position], as: "item" },
    { get: "item", member: "Subject" },
    { get: "item", member: "UserProperties", as: "marks" },
  ];
  for (const name of ["ACID", "Lumora"]) {
    steps.push({ call: "marks", member: "Find", args: [name], as: name });
    steps.push({ get: name, member: "Value" });
  }
  const results = demo.run(steps);
  return { subject: results[5], ACID: results[8], Lumora: results[10] };
}

test("the Calendar panel makes, links and opens CRM appointments", { timeout: 90000 }, async () => {
  const page = await demo.openDemo();
  const rows = page.locator("#calendar-items li");
  await rows.first().waitFor();

  assert.deepEqual(await runAction(page, "calendar-new", "calendar-result"),
                   { outcome: "success", text: "The new appointment is open; it is stored when you save it in its window",
                     boxes: [] });
  const window_ = page.locator('dialog.lumora-item[open][data-kind="appointment"]');
  await window_.waitFor();
  assert.equal(await window_.locator('[data-field="Subject"]').inputValue(), "Account review");
  assert.equal(await window_.locator('[data-field="Location"]').inputValue(), "Head office");
  assert.equal(await window_.locator('[data-field="Body"]').inputValue(),
               "http://crm.example.com/lumora/Lumora.ASPX?Page=Account&ItemID=ACC-1001");
  await window_.locator('button[data-name="save"]').click();
  await window_.locator(".lumora-status", { hasText: "Saved" }).waitFor();
  await window_.locator('button[data-name="close"]').click();
  assert.deepEqual(marksOf(2), { subject: "Account review", ACID: "ACC-1001", Lumora: "true" });

  await rows.first().click();
  await page.locator("#calendar-result", { hasText: "1 selected in the explorer" }).waitFor();
  await page.fill("#calendar-account", "ACC-7");
  assert.deepEqual(await runAction(page, "calendar-link", "calendar-result"), {
    outcome: "success",
    text: "Appointment was synchronised with Lumora. Please wait until next mail scan.",
    boxes: ["Appointment was synchronised with Lumora. Please wait until next mail scan."],
  });
  assert.deepEqual(marksOf(1), { subject: "Site visit", ACID: "ACC-7", Lumora: "true" });

  // The list was refreshed: picking and unpicking leaves nothing selected.
  await rows.first().click();
  await page.locator("#calendar-result", { hasText: "1 selected in the explorer" }).waitFor();
  await rows.first().click();
  await page.locator("#calendar-result", { hasText: "0 selected in the explorer" }).waitFor();
  assert.deepEqual(await runAction(page, "calendar-link", "calendar-result"),
                   { outcome: "failure", text: "Please select an item to add", boxes: ["Please select an item to add"] });

  await rows.first().click();
  await page.locator("#calendar-result", { hasText: "1 selected in the explorer" }).waitFor();
  assert.deepEqual(await runAction(page, "calendar-open-id", "calendar-result"),
                   { outcome: "success", text: "The appointment is open in its window", boxes: [] });
  await window_.waitFor();
  assert.equal(await window_.locator('[data-field="Subject"]').inputValue(), "Site visit");
  await window_.locator('button[data-name="close"]').click();
  await page.fill("#calendar-reference", "00FF00FF");
  assert.deepEqual(await runAction(page, "calendar-open-id", "calendar-result"), {
    outcome: "failure", boxes: [],
    text: "The appointment cannot be found, it may have been deleted or it may not belong to you",
  });
  await page.close();
});
