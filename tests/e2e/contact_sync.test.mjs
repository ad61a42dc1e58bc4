// The Contacts panel in a real browser, on a PIM filled through its object model: contacts
// imported from a folder, the items the CRM does not hold yet listed and marked, a CRM contact
// written from its record XML, and the link of a CRM id looked up and undone. Each list is
// checked as the control answered it and as the page split it, and each mark on the store.

import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { readView, rowButton, runAction } from "./panel_actions.mjs";
import { openFilledDemo } from "./pim_demo.mjs";
import { FOLDER, PimFill, date, itemState } from "./pim_fill.mjs";

const NOW = "2026-12-01T09:00:00";
const GUID = "6f1c2a9e-0b7d-4e43-9a55-2d8e41f0c3b7";
const CLEF = "\u{1D11E}";  // a character outside the Basic Multilingual Plane

let demo;
let page;
let ids;

function fillStore(session) {
  const pim = new PimFill();
  const contacts = pim.defaultFolder(FOLDER.contacts);
  pim.read(contacts, "StoreID", "store");
  pim.item(contacts, "lee", { FirstName: "Ann", LastName: "Lee", CompanyName: "Acme|Labs", Email1Address: "ann@acme.example",
                              BusinessTelephoneNumber: "+44 113 496 0000", BusinessAddressStreet: "1 Long Road\r\nUnit 4",
                              BusinessAddressCity: "Leeds" });
  pim.item(contacts, "park", { FirstName: `Zoë ${CLEF}`, LastName: "Park", CompanyName: "Fabrikam",
                               Email2Address: "zo|e@fabrikam.example", BusinessTelephoneNumber: "+44 20 7946 0000" });
  pim.item(contacts, "stone", { FirstName: "Kim", LastName: "Stone", CompanyName: "Contoso" }, { LUMORAID: GUID });
  pim.item(contacts, "haddad", { FirstName: "Noor", LastName: "Haddad" });
  const customers = pim.folder(contacts, "Customers", FOLDER.contacts, "customers");
  pim.item(customers, "brook", { FirstName: "Bea", LastName: "Brook", CompanyName: "Northwind" }, { LUMORAID: "C-77", Lumora: "true" });
  pim.item(customers, "adams", { Title: "Mr", FirstName: "Al", LastName: "Adams", CompanyName: "Initech", JobTitle: "Buyer",
                                 BusinessAddressStreet: "5 Mill Lane, Hove", BusinessAddressPostalCode: "BN3 1AA" });
  pim.folder(contacts, "Empty", FOLDER.contacts, "empty");
  pim.folder(contacts, "Notes", FOLDER.inbox, "notes");

  const calendar = pim.defaultFolder(FOLDER.calendar);
  pim.read(calendar, "StoreID", "calendarStore");
  pim.item(calendar, "visit", { Subject: "Site visit", Start: date("2026-12-08T10:00:00"), End: date("2026-12-08T11:00:00"),
                                Location: "Leeds", Body: "Bring the\r\nplans" });
  pim.item(calendar, "old", { Subject: "Old review", Start: date("2026-08-15T10:00:00"), End: date("2026-08-15T11:00:00") });
  pim.item(calendar, "marked", { Subject: "Marked call", Start: date("2026-11-20T10:00:00"), End: date("2026-11-20T10:30:00") },
           { Lumora: "true" });
  pim.item(calendar, "review", { Subject: "Q4|review", Start: date("2026-12-02T14:30:00"), End: date("2026-12-02T15:00:00") });

  const tasks = pim.defaultFolder(FOLDER.tasks);
  pim.read(tasks, "StoreID", "taskStore");
  pim.item(tasks, "plan", { Subject: "Plan launch", StartDate: date("2026-11-25T09:00:00"), DueDate: date("2026-12-10T17:00:00"),
                            Status: 1, Importance: 2, PercentComplete: 25, Body: "Draft" }, { LUMORAID: "T-5" });
  pim.item(tasks, "shipped", { Subject: "Ship beta", StartDate: date("2026-11-01T09:00:00") }, { USTID: `{${GUID}}` });
  return pim.run(session);
}

before(async () => { ({ session: demo, page, filled: ids } = await openFilledDemo(fillStore, NOW)); });
after(async () => { await demo?.stop(); });

const contactRecord = (values) => {
  const fields = Array(35).fill("");
  for (const [position, value] of Object.entries(values)) fields[position - 1] = value;
  return fields.join("|");
};

test("contacts are imported from a folder chosen in the folder list", { timeout: 90000 }, async () => {
  const folders = await runAction(page, "contact-folders", "contact-import-result");
  assert.deepEqual(folders, { outcome: "success", text: "2 contact folders listed", boxes: [] });
  // The list ends in the stray "#" of its last delimiter; the page passes that id on as it is.
  assert.deepEqual(await readView(page, "contact-folders-view"), {
    raw: `Contacts#~#~Customers#~${ids.customers}#`, rows: [["Contacts", ""], ["Customers", `${ids.customers}#`]], notes: [],
  });
  await page.uncheck("#contact-folders-import");
  await runAction(page, "contact-folders", "contact-import-result");
  assert.equal((await readView(page, "contact-folders-view")).raw,
               `Contacts#~#~Customers#~${ids.customers}#~Empty#~${ids.empty}#`);

  assert.deepEqual(await runAction(page, rowButton(page, "contact-folders-view", "Customers", "GetFolderContactItems"),
                                   "contact-import-result"),
                   { outcome: "success", text: "2 contacts in Customers", boxes: [] });
  assert.deepEqual(await readView(page, "contact-items-view"), {
    raw: `Bea Brook#~${ids.brook}#~Mr Al Adams#~${ids.adams}#~`,
    rows: [["Bea Brook", ids.brook], ["Mr Al Adams", ids.adams]], notes: [],
  });

  // ImportContact is given the folder id GetFolderContactItems cleaned of its "#".
  assert.deepEqual(await runAction(page, rowButton(page, "contact-items-view", "Mr Al Adams", "ImportContact"),
                                   "contact-import-result"),
                   { outcome: "success", text: "The contact's 25 values, from Customers", boxes: [] });
  const details = await readView(page, "contact-details-view");
  const expected = ["Mr", "Al", "Adams", "Buyer", "", "", "", "", "", ids.adams, ids.customers, "5 Mill Lane", " Hove", "", "",
                    "BN3 1AA", "", "", "", "", "", "", "", "", ""];
  assert.equal(details.raw, expected.map((value) => `${value}#~`).join(""));
  assert.deepEqual(details.rows.map(([, value]) => value), expected);
  assert.deepEqual(details.rows.slice(10, 13).map(([name]) => name), ["Folder entry id", "Business street 1", "Business street 2"]);

  // The default folder, sorted by full name; the contact without a company is listed too.
  await runAction(page, rowButton(page, "contact-folders-view", "Contacts", "GetFolderContactItems"), "contact-import-result");
  assert.deepEqual((await readView(page, "contact-items-view")).rows.map(([name]) => name),
                   ["Ann Lee", "Kim Stone", "Noor Haddad", `Zoë ${CLEF} Park`]);
});

test("unsynchronised contacts are listed as the page splits them and marked on the right contact", { timeout: 90000 }, async () => {
  const lee = contactRecord({ 1: "Lee, Ann", 2: "Ann", 3: "Lee", 4: ids.lee, 5: "AcmeLabs", 6: "ann@acme.example",
                              17: "+44 113 496 0000", 21: "1 Long Road", 22: "Unit 4", 24: "Leeds" });
  const park = contactRecord({ 1: `Park, Zoë ${CLEF}`, 2: `Zoë ${CLEF}`, 3: "Park", 4: ids.park, 5: "Fabrikam",
                               7: "zo|e@fabrikam.example", 17: "+44 20 7946 0000" });
  assert.deepEqual(await runAction(page, "unsynced-contacts", "unsynced-result"),
                   { outcome: "success", text: "2 contacts not yet in the CRM", boxes: [] });
  const listed = await readView(page, "unsynced-view");
  assert.equal(listed.raw, `${ids.store}<-!->${lee}#~${park}#~`);
  // The "|" inside the second e-mail moves every later field one place on, as on the CRM page.
  assert.deepEqual(listed.rows, [["Lee, Ann", "AcmeLabs", "ann@acme.example", "+44 113 496 0000", "Leeds"],
                                 [`Park, Zoë ${CLEF}`, "Fabrikam", "", "", ""]]);
  assert.deepEqual(listed.notes, ["36 fields where 35 were expected: a \"|\" inside a value moved the fields after it"]);

  await page.fill("#unsynced-crm-id", "C-100");
  assert.deepEqual(await runAction(page, rowButton(page, "unsynced-view", "Lee, Ann", "SetItemAsLumora"), "unsynced-result"), {
    outcome: "success", boxes: [],
    text: "SetItemAsLumora marked the contact as synchronised with CRM id C-100; the scan no longer lists it",
  });
  assert.deepEqual(itemState(demo, ids.lee, ["Lumora", "LUMORAID"]).marks, { Lumora: "true", LUMORAID: "C-100" });
  assert.deepEqual(itemState(demo, ids.park, ["Lumora", "LUMORAID"]).marks, { Lumora: null, LUMORAID: null });
  assert.deepEqual((await readView(page, "unsynced-view")).rows.map(([name]) => name), [`Park, Zoë ${CLEF}`]);

  // SetImportID leaves the "Lumora" mark alone: a short CRM id keeps the contact listed.
  await page.fill("#unsynced-crm-id", "C-200");
  assert.deepEqual(await runAction(page, rowButton(page, "unsynced-view", `Park, Zoë ${CLEF}`, "SetImportID"), "unsynced-result"), {
    outcome: "success", boxes: [],
    text: "SetImportID stamped the contact with CRM id C-200; the scan still lists it " +
          "(without the \"Lumora\" mark a CRM id needs 36 characters)",
  });
  await page.fill("#unsynced-crm-id", GUID);
  assert.equal((await runAction(page, rowButton(page, "unsynced-view", `Park, Zoë ${CLEF}`, "SetImportID"), "unsynced-result")).text,
               `SetImportID stamped the contact with CRM id ${GUID}; the scan no longer lists it`);
  assert.deepEqual(itemState(demo, ids.park, ["Lumora", "LUMORAID"], ["FirstName"]),
                   { folder: "Contacts", marks: { Lumora: null, LUMORAID: GUID }, fields: { FirstName: `Zoë ${CLEF}` } });
  assert.deepEqual(await readView(page, "unsynced-view"), {
    raw: `${ids.store}<-!->`, rows: [], notes: ["No contact is listed as missing from the CRM"],
  });
  // A fresh CRM id waits for the next item the CRM stores.
  assert.match(await page.inputValue("#unsynced-crm-id"), /^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$/);
});

test("a subfolder is scanned by the id the folder list gave, and a folder id naming no folder fails", { timeout: 60000 }, async () => {
  await page.fill("#unsynced-folder", `${ids.customers}#`);
  assert.deepEqual(await runAction(page, "unsynced-contacts", "unsynced-result"),
                   { outcome: "success", text: "1 contact not yet in the CRM", boxes: [] });
  assert.deepEqual((await readView(page, "unsynced-view")).rows, [["Adams, Al", "Initech", "", "", ""]]);

  await page.fill("#unsynced-folder", "{\"00FF\"}");
  const refused = await runAction(page, "unsynced-contacts", "unsynced-result");
  assert.equal(refused.outcome, "failure");
  assert.equal(refused.boxes.length, 1);
  assert.equal(refused.text, refused.boxes[0]);
  assert.deepEqual(await readView(page, "unsynced-view"), { raw: "", rows: [], notes: ["No list: the scan failed"] });
  await page.fill("#unsynced-folder", "");
});

test("unsynchronised appointments and tasks are marked with the CRM's ids", { timeout: 60000 }, async () => {
  assert.deepEqual(await runAction(page, "unsynced-appts", "unsynced-result"),
                   { outcome: "success", text: "2 appointments not yet in the CRM", boxes: [] });
  const appointments = await readView(page, "unsynced-view");
  assert.equal(appointments.raw, `${ids.calendarStore}<-!->` +
    `202612081000|Site visit|2026-12-08 10:00:00|2026-12-08 11:00:00|Leeds|${ids.visit}|Bring the\r\nplans#~` +
    `202612021430|Q4review|2026-12-02 14:30:00|2026-12-02 15:00:00||${ids.review}|#~`);
  assert.deepEqual(appointments.rows, [["2026-12-08 10:00:00", "Site visit", "Leeds", "2026-12-08 11:00:00"],
                                       ["2026-12-02 14:30:00", "Q4review", "", "2026-12-02 15:00:00"]]);

  await page.fill("#unsynced-crm-id", "G-1");
  await page.fill("#unsynced-account-id", "ACC-7");
  assert.deepEqual(await runAction(page, rowButton(page, "unsynced-view", "2026-12-02 14:30:00", "SetItemAsLumora"), "unsynced-result"), {
    outcome: "success", boxes: [],
    text: "SetItemAsLumora marked the appointment as synchronised with CRM id G-1; the scan no longer lists it",
  });
  const marks = ["Lumora", "ACID", "guid"];
  assert.deepEqual(itemState(demo, ids.review, marks).marks, { Lumora: "true", ACID: "ACC-7", guid: "G-1" });
  assert.deepEqual(itemState(demo, ids.visit, marks).marks, { Lumora: null, ACID: null, guid: null });

  assert.deepEqual(await runAction(page, "unsynced-tasks", "unsynced-result"),
                   { outcome: "success", text: "1 task not yet in the CRM", boxes: [] });
  assert.equal((await readView(page, "unsynced-view")).raw, `${ids.taskStore}<-!->` +
    `Plan launch|${ids.plan}|1|2|25|2026-11-25 09:00:00|2026-12-10 17:00:00|Draft|#~`);
  await page.fill("#unsynced-crm-id", "T-9");
  assert.equal((await runAction(page, rowButton(page, "unsynced-view", "Plan launch", "SetItemAsLumora"), "unsynced-result")).outcome,
               "success");
  assert.deepEqual(itemState(demo, ids.plan, ["Lumora", "USTID"]).marks, { Lumora: "true", USTID: "{T-9}" });
});

test("a CRM contact is written from its record, updated, and refused in the control's words", { timeout: 90000 }, async () => {
  const id = "C-{\"9\"}";
  await page.fill("#record-id", id);
  await page.fill("#record-FIRSTNAME", `Anne ${CLEF}`);
  const xml = await page.inputValue("#contact-xml");
  assert.match(xml, /^<record id="C-\{&quot;9&quot;\}">/);
  assert.ok(xml.includes(`<field name="FIRSTNAME" value="Anne ${CLEF}"/>`), xml);
  assert.deepEqual(await runAction(page, "contact", "contact-result"),
                   { outcome: "success", text: "The contact was written to the contact folder chosen for \"Contacts\"", boxes: [] });

  await page.fill("#sync-crm-id", id);
  assert.deepEqual(await runAction(page, "check-synchronised", "sync-result"),
                   { outcome: "success", text: `Anne ${CLEF} Dodsworth in folder Contacts.`, boxes: [] });

  // The same record again updates that contact; a megabyte of job title survives the way there.
  const longTitle = "Buyer ".repeat(174763).slice(0, 1048576);
  await page.fill("#record-EMAIL1ADDRESS", "anne@contoso.example");
  await page.fill("#record-JOBTITLE", longTitle);
  assert.equal((await runAction(page, "contact", "contact-result")).outcome, "success");
  const written = await contactOf(id, ["Email1Address", "JobTitle", "FirstName"]);
  assert.deepEqual({ ...written, JobTitle: written.JobTitle.length },
                   { count: 1, Email1Address: "anne@contoso.example", JobTitle: 1048576, FirstName: `Anne ${CLEF}` });

  // Without leave to overwrite an id match, the contact is kept as it was, and the page says so.
  await page.fill("#record-JOBTITLE", "Buyer");
  await page.fill("#record-EMAIL1ADDRESS", "other@contoso.example");
  await page.uncheck("#contact-overwrite-id");
  assert.deepEqual(await runAction(page, "contact", "contact-result"), {
    outcome: "success", boxes: [],
    text: "The contact was written to the contact folder chosen for \"Contacts\", or the contact carrying its CRM id was left as it was",
  });
  assert.equal((await contactOf(id, ["Email1Address"])).Email1Address, "anne@contoso.example");
  await page.check("#contact-overwrite-id");

  // Without an e-mail no e-mail-and-name match is tried; the control clears the page's flag.
  await page.fill("#record-EMAIL1ADDRESS", "");
  assert.deepEqual(await runAction(page, "contact", "contact-result"), {
    outcome: "success", boxes: [],
    text: "The contact was written to the contact folder chosen for \"Contacts\"" +
          "No e-mail-and-name match was tried: the record lacks a first name, a last name or an e-mail",
  });

  await page.fill("#record-FIRSTNAME", "");
  await page.fill("#record-LASTNAME", "");
  assert.deepEqual(await runAction(page, "contact", "contact-result"), {
    outcome: "failure", text: "FirstName and LastName appear to be blank, skipping this record.",
    boxes: ["FirstName and LastName appear to be blank, skipping this record."],
  });
  await page.fill("#contact-xml", "<record id=\"C-9\"><field name=\"LASTNAME\"");
  const broken = await runAction(page, "contact", "contact-result");
  assert.equal(broken.outcome, "failure");
  assert.deepEqual(broken.boxes, [broken.text]);
  assert.match(broken.text, /^Error exporting contact to Outlook: /);
  assert.equal((await contactOf(id, ["LastName"])).count, 1);
});

// The contacts of the default contact folder that carry the CRM id, and the fields of the first.
async function contactOf(crmId, fields) {
  const base = [
    { create: "Outlook.Application", as: "ol" },
    { call: "ol", member: "GetNamespace", args: ["MAPI"], as: "ns" },
    { call: "ns", member: "GetDefaultFolder", args: [FOLDER.contacts], as: "folder" },
    { get: "folder", member: "Items", as: "items" },
    { get: "items", member: "Count" },
  ];
  const count = demo.run(base)[4];
  const steps = [...base];
  for (let i = 1; i <= count; i++) {
    steps.push({ call: "items", member: "Item", args: [i], as: `c${i}` }, { get: `c${i}`, member: "EntryID" });
  }
  const entryIds = demo.run(steps).slice(base.length).filter((_, k) => k % 2 === 1);
  const matching = entryIds.filter((entryId) => itemState(demo, entryId, ["LUMORAID"]).marks.LUMORAID === crmId);
  const first = matching.length ? itemState(demo, matching[0], [], fields).fields : {};
  return { count: matching.length, ...first };
}

test("a CRM id's link is looked up, undone and removed, and a removal that found nothing says so", { timeout: 90000 }, async () => {
  const check = async (id, type) => {
    await page.fill("#sync-crm-id", id);
    await page.selectOption("#sync-item-type", type);
    return runAction(page, "check-synchronised", "sync-result");
  };
  assert.deepEqual(await check("C-77", "contact"), { outcome: "success", text: "Bea Brook in folder Customers", boxes: [] });
  assert.deepEqual(await check("T-5", "task"), { outcome: "success", text: "Plan launch in folder Tasks.", boxes: [] });
  assert.deepEqual(await check("C-404", "contact"), { outcome: "success", text: "No contact carries CRM id C-404 (false)", boxes: [] });

  await page.fill("#sync-crm-id", "C-77");
  assert.deepEqual(await runAction(page, "remove-contact", "sync-result"), {
    outcome: "success", boxes: [],
    text: "The contact was successfully unsynchronized from its associated Outlook Contact: Bea Brook in folder Customers",
  });
  assert.deepEqual(itemState(demo, ids.brook, ["Lumora", "LUMORAID"]).marks, { Lumora: "", LUMORAID: "" });

  await page.fill("#sync-crm-id", "C-404");
  assert.deepEqual(await runAction(page, "remove-contact", "sync-result"), {
    outcome: "unknown", boxes: [],
    text: "The contact was successfully unsynchronized from its associated Outlook Contact; " +
          "but no contact carried CRM id C-404, so nothing changed",
  });

  await page.fill("#sync-crm-id", "C-100");
  await page.check("#remove-delete");
  assert.deepEqual(await runAction(page, "remove-contact", "sync-result"), {
    outcome: "success", boxes: [],
    text: "The associated Outlook contact was successfully deleted from: Ann Lee in folder Contacts.",
  });
  assert.equal(itemState(demo, ids.lee).folder, "Deleted Items");
  await page.uncheck("#remove-delete");
});
