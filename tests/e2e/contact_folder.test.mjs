// The Address book panel's CRM actions in a real browser: a contacts subfolder made and chosen,
// contacts written into it from arguments and from the page's own form, and the temporary one
// removed when the folder is chosen again.

import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { runAction } from "./panel_actions.mjs";
import { startPimDemo } from "./pim_demo.mjs";

let demo;
before(async () => { demo = await startPimDemo({}); });
after(async () => { await demo?.stop(); });

// The CRM subfolder's contacts: last name, User2, User3 and sensitivity of each.
function crmContacts() {
  const base = [
    { create: "Outlook.Application", as: "ol" },
    { call: "ol", member: "GetNamespace", args: ["MAPI"], as: "ns" },
    { call: "ns", member: "GetDefaultFolder", args: [10], as: "contacts" },
    { get: "contacts", member: "Folders", as: "folders" },
    { call: "folders", member: "Item", args: [1], as: "crm" },
    { get: "crm", member: "Items", as: "items" },
    { get: "items", member: "Count" },
  ];
  const count = demo.run(base)[6];
  const steps = [...base];
  for (let i = 1; i <= count; i++) {
    steps.push({ call: "items", member: "Item", args: [i], as: `c${i}` });
    for (const member of ["LastName", "User2", "User3", "Sensitivity"]) steps.push({ get: `c${i}`, member });
  }
  const results = demo.run(steps);
  return Array.from({ length: count }, (_, k) => results.slice(7 + k * 5 + 1, 7 + k * 5 + 5));
}

test("the Address book panel writes CRM contacts into a folder it makes and chooses", { timeout: 90000 }, async () => {
  const page = await demo.openDemo();
  await page.fill("#contacts-folder-name", "CRM contacts");
  assert.deepEqual(await runAction(page, "contacts-check-folder", "contacts-result"), {
    outcome: "success", boxes: [], text: "The contacts folder \"CRM contacts\" is there; choose it with SetContactFolder",
  });
  assert.match(await page.locator("#contacts-folder").innerText(), /CRM contacts \(0\)/);
  assert.equal((await runAction(page, "contacts-add", "contacts-result")).outcome, "failure");  // no folder chosen yet
  assert.equal((await runAction(page, "contacts-set-folder", "contacts-result")).outcome, "success");

  await page.selectOption("#contacts-type", "Temporary");
  await page.fill("#LASTNAME", "Temporary Tess");
  assert.deepEqual(await runAction(page, "contacts-add", "contacts-result"),
                   { outcome: "success", text: "Temporary contact Temporary Tess written to the contact folder", boxes: [] });
  await page.fill("#LASTNAME", "Dodsworth");
  await page.click("#contacts-form summary");
  await page.selectOption("#SENSITIVITY", "Private");
  assert.deepEqual(await runAction(page, "contacts-add-all", "contacts-result"),
                   { outcome: "success", text: "Contact Dodsworth written from the form", boxes: [] });
  assert.deepEqual(crmContacts(), [["Temporary Tess", "Temp", "", 0], ["Dodsworth", "Perm", "C-2001", 2]]);

  assert.equal((await runAction(page, "contacts-set-folder", "contacts-result")).outcome, "success");
  assert.deepEqual(crmContacts(), [["Dodsworth", "Perm", "C-2001", 2]]);
  await page.close();
});
