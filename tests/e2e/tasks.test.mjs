// The Tasks panel in a real browser, on a PIM filled through its object model: a task imported
// from a task folder chosen in the folder list, tasks opened in their window or refused in the
// control's words, and the tasks the CRM does not hold yet marked on the store.

import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { readView, rowButton, runAction } from "./panel_actions.mjs";
import { openFilledDemo } from "./pim_demo.mjs";
import { FOLDER, PimFill, date, itemState } from "./pim_fill.mjs";

const NOW = "2026-12-01T09:00:00";
const NO_DATE = "4501-01-01 00:00:00";

let demo;
let page;
let ids;

function fillStore(session) {
  const pim = new PimFill();
  const tasks = pim.defaultFolder(FOLDER.tasks);
  pim.read(tasks, "StoreID", "store");
  pim.item(tasks, "plan", { Subject: "Plan launch", StartDate: date("2026-11-25T09:00:00"), DueDate: date("2026-12-10T17:00:00"),
                            Status: 1, Importance: 2, PercentComplete: 25, Body: "Draft" });
  pim.item(tasks, "someday", { Subject: "Someday" });
  pim.item(tasks, "untitled", { Body: "No subject" });
  const projects = pim.folder(tasks, "Projects", FOLDER.tasks, "projects");
  pim.item(projects, "brief", { Subject: "Write brief", StartDate: date("2026-12-01T08:00:00"), DueDate: date("2026-12-20T12:00:00"),
                               BillingInformation: "ACC-1001: 4 hours", Body: "Outline\r\nthen detail" });
  pim.item(projects, "budget", { Subject: "Review | budget", Complete: true, DateCompleted: date("2026-11-30T17:05:00"),
                                 Status: 2, PercentComplete: 100, Importance: 0, Sensitivity: 2, TeamTask: true });
  pim.folder(tasks, "Archive", FOLDER.tasks, "archive");
  pim.folder(tasks, "People", FOLDER.contacts, "people");
  return pim.run(session);
}

before(async () => { ({ session: demo, page, filled: ids } = await openFilledDemo(fillStore, NOW)); });
after(async () => { await demo?.stop(); });

test("a task is imported from the folder chosen in the task folder list", { timeout: 90000 }, async () => {
  assert.deepEqual(await runAction(page, "task-folders", "task-result"),
                   { outcome: "success", text: "2 task folders listed", boxes: [] });
  assert.deepEqual(await readView(page, "task-folders-view"), {
    raw: `Tasks#~#~Projects#~${ids.projects}#`, rows: [["Tasks", ""], ["Projects", `${ids.projects}#`]], notes: [],
  });

  assert.deepEqual(await runAction(page, rowButton(page, "task-folders-view", "Projects", "GetFolderTaskItems"), "task-result"),
                   { outcome: "success", text: "2 tasks in Projects", boxes: [] });
  assert.deepEqual(await readView(page, "task-items-view"), {
    raw: `Write brief#~${ids.brief}#~Review | budget#~${ids.budget}#~`,
    rows: [["Write brief", ids.brief], ["Review | budget", ids.budget]], notes: [],
  });

  // The folder id ImportTask is given is the one GetFolderTaskItems cleaned of its "#"; the
  // details end in it without a delimiter.
  assert.deepEqual(await runAction(page, rowButton(page, "task-items-view", "Review | budget", "ImportTask"), "task-result"),
                   { outcome: "success", text: "The task's 14 values, from Projects", boxes: [] });
  const done = ["", "", "1", "2026-11-30 17:05:00.000", `${NO_DATE}.000`, "0", "100", "2", `${NO_DATE}.000`, "2",
                "Review | budget", "1", ids.budget];
  const details = await readView(page, "task-details-view");
  assert.equal(details.raw, done.map((value) => `${value}#~`).join("") + ids.projects);
  assert.deepEqual(details.rows.map(([, value]) => value), [...done, ids.projects]);

  await runAction(page, rowButton(page, "task-items-view", "Write brief", "ImportTask"), "task-result");
  assert.deepEqual((await readView(page, "task-details-view")).rows.slice(0, 5).map(([, value]) => value),
                   ["ACC-1001: 4 hours", "Outline\r\nthen detail", "0", "", "2026-12-20 12:00:00.000"]);

  // The default folder lists its tasks with a subject, in the folder's own order.
  await runAction(page, rowButton(page, "task-folders-view", "Tasks", "GetFolderTaskItems"), "task-result");
  assert.deepEqual((await readView(page, "task-items-view")).rows, [["Plan launch", ids.plan], ["Someday", ids.someday]]);
});

test("a task opens in its window, and an id naming no task is refused in the control's words", { timeout: 60000 }, async () => {
  await runAction(page, rowButton(page, "task-folders-view", "Projects", "GetFolderTaskItems"), "task-result");
  assert.deepEqual(await runAction(page, rowButton(page, "task-items-view", "Write brief", "OpenTask"), "task-result"),
                   { outcome: "success", text: "The task \"Write brief\" is open in its window", boxes: [] });
  const window_ = page.locator('dialog.lumora-item[open][data-kind="task"]');
  await window_.waitFor();
  assert.equal(await window_.locator('[data-field="Subject"]').inputValue(), "Write brief");
  await window_.locator('button[data-name="close"]').click();
  await window_.waitFor({ state: "detached" });

  assert.deepEqual(await runAction(page, "open-task", "task-open-result"),
                   { outcome: "failure", text: "Pick a task or give its entry id first", boxes: [] });
  await page.fill("#task-id", "{\"00FF00FF\"}");
  assert.deepEqual(await runAction(page, "open-task", "task-open-result"),
                   { outcome: "failure", text: "The task cannot be found, it may have been deleted", boxes: [] });
  await page.fill("#task-id", ids.someday);
  assert.equal((await runAction(page, "open-task", "task-open-result")).text, "The task \"Someday\" is open in its window");
  await window_.locator('button[data-name="close"]').click();
});

test("the tasks the CRM does not hold yet are listed and marked on the right task", { timeout: 60000 }, async () => {
  assert.deepEqual(await runAction(page, "task-unsynced-scan", "task-unsynced-result"),
                   { outcome: "success", text: "3 tasks not yet in the CRM", boxes: [] });
  const listed = await readView(page, "task-unsynced-view");
  assert.equal(listed.raw, `${ids.store}<-!->` +
    `Plan launch|${ids.plan}|1|2|25|2026-11-25 09:00:00|2026-12-10 17:00:00|Draft|#~` +
    `Someday|${ids.someday}|0|1|0|${NO_DATE}|${NO_DATE}||#~` +
    `|${ids.untitled}|0|1|0|${NO_DATE}|${NO_DATE}|No subject|#~`);
  assert.deepEqual(listed.rows[0], ["Plan launch", "1", "2026-11-25 09:00:00", "2026-12-10 17:00:00", ""]);

  const crmId = "0d9f3c1e-7a51-4b0c-8e2f-5c6a7b8d9e01";
  await page.fill("#task-unsynced-crm-id", crmId);
  assert.deepEqual(await runAction(page, rowButton(page, "task-unsynced-view", "Someday", "SetItemAsLumora"), "task-unsynced-result"), {
    outcome: "success", boxes: [],
    text: `SetItemAsLumora marked the task as synchronised with CRM id ${crmId}; the scan no longer lists it`,
  });
  assert.deepEqual(itemState(demo, ids.someday, ["Lumora", "USTID"]).marks, { Lumora: "true", USTID: `{${crmId}}` });
  assert.deepEqual(itemState(demo, ids.plan, ["Lumora", "USTID"]).marks, { Lumora: null, USTID: null });
  assert.deepEqual((await readView(page, "task-unsynced-view")).rows.map(([subject]) => subject), ["Plan launch", ""]);
});
