// The Team calendars panel in a real browser, against a real radicale: the account added at the
// command line shows with its state; what another device put on the server arrives with a sync
// now, and a calendar made there as a subfolder of the Calendar; an appointment made and saved in
// the page reaches the server by itself once the call returns; and with the server away the panel
// says the account is offline with its change waiting, which goes out once the server is back.

import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { mkdtempSync, rmSync, writeFileSync } from "node:fs";
import os from "node:os";
import path from "node:path";
import { DemoSession } from "./demo_session.mjs";
import { runAction, screenshotPanel, waitFor } from "./panel_actions.mjs";
import { ALICE, Radicale } from "./radicale.mjs";

const CALENDAR = "/alice/calendar/";
const LUNCH = ["BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Another device//EN", "BEGIN:VEVENT",
               "UID:team-lunch-1", "DTSTAMP:20261201T080000Z", "DTSTART:20261210T120000Z", "DTEND:20261210T130000Z",
               "SUMMARY:Team lunch", "LOCATION:Canteen", "END:VEVENT", "END:VCALENDAR", ""].join("\r\n");

const HOLIDAYS = "/alice/holidays/";
const MKCALENDAR_HOLIDAYS = '<C:mkcalendar xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav"><D:set><D:prop>' +
  "<D:displayname>Holidays</D:displayname><C:supported-calendar-component-set><C:comp name=\"VEVENT\"/>" +
  "</C:supported-calendar-component-set></D:prop></D:set></C:mkcalendar>";

const folder = mkdtempSync(path.join(os.tmpdir(), "lumora-e2e-dav-"));
const radicale = new Radicale(path.join(folder, "radicale"));
const session = new DemoSession();
let page;

before(async () => {
  await radicale.start();
  // The whole sync of the bridge is left to the test's clicks; a page's changes still go at once.
  await session.start({}, ["--sync-every", "3600"], async (demo) => {
    const passwordFile = path.join(folder, "password");
    writeFileSync(passwordFile, `${ALICE.password}\n`, { mode: 0o600 });
    demo.lumora(["pim", "account", "add", radicale.url, "--user", ALICE.user, "--password-file", passwordFile,
                 "--name", "team"]);
    const put = await radicale.request("PUT", `${CALENDAR}team-lunch-1.ics`, LUNCH,
                                       { "Content-Type": "text/calendar; charset=utf-8" });
    assert.equal(put.status, 201);
    // A second calendar, made on a phone after the account was added.
    const made = await radicale.request("MKCALENDAR", HOLIDAYS, MKCALENDAR_HOLIDAYS,
                                        { "Content-Type": "application/xml; charset=utf-8" });
    assert.equal(made.status, 201);
    const xmas = await radicale.request("PUT", `${HOLIDAYS}xmas-1.ics`,
                                        LUNCH.replace("team-lunch-1", "xmas-1").replace("Team lunch", "Christmas"),
                                        { "Content-Type": "text/calendar; charset=utf-8" });
    assert.equal(xmas.status, 201);
  });
  page = await session.openDemo();
});
after(async () => {
  await session.stop();
  await radicale.stop();
  rmSync(folder, { recursive: true, force: true });
});

const accountRow = () => page.locator('#accounts-list li[data-account="team"]');

async function newAppointmentSaved() {
  await runAction(page, "calendar-new", "calendar-result");
  const window_ = page.locator('dialog.lumora-item[open][data-kind="appointment"]');
  await window_.waitFor();
  await window_.locator('button[data-name="save"]').click();
  await window_.locator(".lumora-status", { hasText: "Saved" }).waitFor();
  await window_.locator('button[data-name="close"]').click();
}

test("a sync now brings another device's appointment into the calendar", { timeout: 90000 }, async () => {
  await accountRow().waitFor();
  const synced = await runAction(page, "accounts-sync", "accounts-result");
  assert.equal(synced.outcome, "success", synced.text);
  // The bridge's own first sync may have brought it already; either way the report names the calendar.
  assert.match(synced.text, /1 account in sync/);
  assert.match(synced.text, /Calendar: /);
  assert.equal(await accountRow().getAttribute("data-state"), "synced");
  assert.match(await accountRow().textContent(), /last sync \d{4}-\d\d-\d\d \d\d:\d\d:\d\d, 0 changes waiting/);

  await runAction(page, "calendar-refresh", "calendar-result");
  await page.locator("#calendar-items li", { hasText: "Team lunch" }).waitFor();

  // The other calendar is a subfolder of the Calendar, with its appointment.
  assert.match(synced.text, /Calendar\\Holidays: /);
  const holidays = page.locator("#calendar-folder option", { hasText: /^\s+Holidays \(1\)$/ });
  await page.selectOption("#calendar-folder", await holidays.getAttribute("value"));
  await page.locator("#calendar-items li", { hasText: "Christmas" }).waitFor();
  await screenshotPanel(page, "panel-calendar", "calendar-subfolder");
});

test("an appointment saved in the page reaches the server once the call returns", { timeout: 90000 }, async () => {
  await newAppointmentSaved();
  let sent = null;
  await waitFor("the new appointment is on the server", async () => {
    for (const member of await radicale.members(CALENDAR)) {
      const text = await (await radicale.request("GET", member)).text();
      if (text.includes("SUMMARY:Account review")) sent = text;
    }
    return sent !== null;
  });
  assert.match(sent, /X-LUMORA-PROP-ACID[^:]*:ACC-1001/);
});

test("with the server away the account is offline and its change waits, then goes", { timeout: 120000 }, async () => {
  await radicale.stop();
  await newAppointmentSaved();
  const offline = await runAction(page, "accounts-sync", "accounts-result");
  assert.equal(offline.outcome, "failure", offline.text);
  assert.match(offline.text, /^team: /);
  assert.equal(await accountRow().getAttribute("data-state"), "offline");
  assert.match(await accountRow().textContent(), /1 change waiting; last error: .+; next attempt/);
  await screenshotPanel(page, "panel-accounts", "account-offline");

  await radicale.start();
  const back = await runAction(page, "accounts-sync", "accounts-result");
  assert.equal(back.outcome, "success", back.text);
  assert.match(await accountRow().textContent(), /0 changes waiting/);
  await screenshotPanel(page, "panel-accounts", "account-back");
  const reviews = [];
  for (const member of await radicale.members(CALENDAR)) {
    const text = await (await radicale.request("GET", member)).text();
    if (text.includes("SUMMARY:Account review")) reviews.push(member);
  }
  assert.equal(reviews.length, 2);
});
