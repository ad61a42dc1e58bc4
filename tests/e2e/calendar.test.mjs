// The Calendar panel in a real browser: the calendar's appointments listed from the store, picked
// into the explorer's selection, and one opened in its item window, edited and saved.

import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { startPimDemo, selectionSteps } from "./pim_demo.mjs";

const CALENDAR = [
  "BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Test//EN",
  "BEGIN:VEVENT", "UID:a", "DTSTAMP:20261201T080000Z", "DTSTART:20261208T100000", "DTEND:20261208T110000",
  "SUMMARY:Site visit", "LOCATION:Dock 3", "END:VEVENT",
  "BEGIN:VEVENT", "UID:b", "DTSTAMP:20261201T080000Z", "DTSTART:20261209T140000", "DTEND:20261209T150000",
  "SUMMARY:Quarterly review", "END:VEVENT",
  "END:VCALENDAR", ""].join("\r\n");

let demo;
before(async () => { demo = await startPimDemo({ "calendar.ics": CALENDAR }); });
after(async () => { await demo?.stop(); });

test("the Calendar panel lists, selects and opens appointments", { timeout: 90000 }, async () => {
  const page = await demo.openDemo();
  const rows = page.locator("#calendar-items li");
  await rows.nth(1).waitFor();
  assert.deepEqual(await rows.allTextContents(), ["Site visit2026-12-08 10:00", "Quarterly review2026-12-09 14:00"]);
  assert.match(await page.locator("#calendar-folder option:checked").textContent(), /^Calendar \(2\)$/);

  // Picked in the order the person picks them.
  await rows.nth(1).click();
  await rows.nth(0).click();
  await page.locator("#calendar-result", { hasText: "2 selected in the explorer" }).waitFor();
  const selected = demo.run(selectionSteps(2, "Subject"));
  assert.deepEqual([selected[3], selected[5], selected[7]], [2, "Quarterly review", "Site visit"]);

  await page.click("#calendar-open");
  const window_ = page.locator('dialog.lumora-item[open][data-kind="appointment"]');
  await window_.waitFor();
  assert.equal(await window_.locator("header").textContent(), "appointment: Quarterly review");
  assert.equal(await window_.locator('[data-field="Start"]').inputValue(), "2026-12-09T14:00");
  await window_.locator('[data-field="Subject"]').fill("Quarterly review – moved");
  await window_.locator('[data-field="Location"]').fill("Room 4");
  await window_.locator('button[data-name="save"]').click();
  await window_.locator(".lumora-status", { hasText: "Saved" }).waitFor();
  await page.locator("#calendar-items li", { hasText: "Quarterly review – moved" }).waitFor();
  const stored = demo.run([
    { create: "Outlook.Application", as: "ol" },
    { call: "ol", member: "GetNamespace", args: ["MAPI"], as: "ns" },
    { call: "ns", member: "GetDefaultFolder", args: [9], as: "calendar" },
    { get: "calendar", member: "Items", as: "items" },
    { call: "items", member: "Item", args: [2], as: "review" },
    { get: "review", member: "Subject" },
    { get: "review", member: "Location" },
  ]);
  assert.deepEqual(stored.slice(5), ["Quarterly review – moved", "Room 4"]);

  await window_.locator('button[data-name="close"]').click();
  await window_.waitFor({ state: "detached" });
  await page.close();
});
