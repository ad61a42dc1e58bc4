// The PIM's items the CRM does not hold yet, as the scans list them, each row with the buttons
// that mark it as synchronised once the CRM has stored it. A mark is told by what the next scan
// says: the list is read again after it, and the outcome says whether the item left the list.
"use strict";

// Each scan's record layout, the fields the table shows, where the entry id sits, the item type
// SetItemAsLumora is given, and the marks a row offers. The entry id comes before any field that
// is not cleaned of "|", so a "|" inside a value never moves it.
const UNSYNCED_SCANS = {
  contacts: {
    member: "GetUnsyncedContacts", noun: "contact", itemType: "contact", marks: ["SetImportID", "SetItemAsLumora"],
    fields: ["File as", "First name", "Last name", "Entry id", "Company", "E-mail", "E-mail 2", "E-mail 3", "Job title",
             "Department", "Title", "Manager", "Middle name", "Suffix", "Assistant", "Assistant's phone", "Business phone",
             "Mobile", "Home phone", "Business fax", "Business street 1", "Business street 2", "Business street 3",
             "Business city", "Business state", "Business postcode", "Business country", "Home street 1", "Home street 2",
             "Home street 3", "Home city", "Home state", "Home postcode", "Home country", "Web page"],
    shown: [0, 4, 5, 16, 23], entryId: 3,
  },
  appointments: {
    member: "GetUnsyncedAppts", noun: "appointment", itemType: "appointment", marks: ["SetItemAsLumora"],
    fields: ["Start (sortable)", "Subject", "Start", "End", "Location", "Entry id", "Body"],
    shown: [2, 1, 4, 3], entryId: 5,
  },
  tasks: {
    member: "GetUnsyncedTasks", noun: "task", itemType: "task", marks: ["SetItemAsLumora"],
    fields: ["Subject", "Entry id", "Status", "Importance", "% complete", "Start", "Due", "Body", "Companies"],
    shown: [0, 2, 5, 6, 8], entryId: 1,
  },
};

// A CRM id as the CRM makes them: a GUID of 36 characters.
function newCrmId() {
  if (window.crypto && crypto.randomUUID) return crypto.randomUUID();
  const hex = [...crypto.getRandomValues(new Uint8Array(16))].map((b) => b.toString(16).padStart(2, "0")).join("");
  return `${hex.slice(0, 8)}-${hex.slice(8, 12)}-${hex.slice(12, 16)}-${hex.slice(16, 20)}-${hex.slice(20)}`;
}

// prefix: the id of the panel's part; its elements' ids begin with it (#PREFIX-result,
// #PREFIX-crm-id, and #PREFIX-account-id where appointments are marked), and the view this adds
// to it is #PREFIX-view. Answers scan(kind, ...args), an action's work: the scan's outcome.
function unsyncedItems(prefix) {
  const view = Object.assign(document.createElement("div"), { id: `${prefix}-view`, className: "delimited", hidden: true });
  $(prefix).append(view);
  const output = `${prefix}-result`;
  const crmId = $(`${prefix}-crm-id`);
  if (!crmId.value) crmId.value = newCrmId();
  let last = null;  // {kind, args, storeId}: the scan the view shows, read again after a mark

  // Reads the list and shows it; answers {outcome, listed} where listed holds the records.
  async function read(kind, args) {
    const layout = UNSYNCED_SCANS[kind];
    const boxesBefore = boxesShown.length;
    const answer = await control[layout.member](...args);
    const found = Delimited.records(answer);
    const expected = layout.fields.length;
    const rows = (found ? found.records : []).map((fields) => {
      const row = { cells: layout.shown.map((i) => fields[i] ?? ""), entryId: fields[layout.entryId], fields,
                    title: Delimited.fieldList(layout.fields, fields), actions: [] };
      // Fewer fields than the layout has: a value holding "#~" cut the record, and the entry id
      // may be a piece of another field. Such a row is shown but never marked.
      if (fields.length < expected) {
        row.note = `${fields.length} fields where ${expected} were expected: a value holding "#~" cut this record; it is not offered for marking`;
      } else {
        row.actions = layout.marks.map((member) => [member, member]);
        if (fields.length > expected) row.note = `${fields.length} fields where ${expected} were expected: a "|" inside a value moved the fields after it`;
      }
      return row;
    });
    const boxes = boxesShown.slice(boxesBefore).map((box) => box.text);
    let outcome;
    if (boxes.length) outcome = failure(boxes.join("\n"));
    else if (!found) outcome = failure(`${layout.member} answered no list (${logValue(answer)})`);
    else outcome = success(`${rows.length} ${layout.noun}${rows.length === 1 ? "" : "s"} not yet in the CRM`);
    Delimited.show(view, {
      caption: layout.member, head: found ? `store id ${found.storeId}` : undefined, raw: answer,
      columns: layout.shown.map((i) => layout.fields[i]), rows,
      empty: outcome.kind === "success" ? `No ${layout.noun} is listed as missing from the CRM` : "No list: the scan failed",
    });
    last = { kind, args, storeId: found ? found.storeId : "" };
    return { outcome, listed: outcome.kind === "success" ? found.records : undefined };
  }

  async function mark(member, row) {
    const layout = UNSYNCED_SCANS[last.kind];
    const id = crmId.value;
    if (!id) return failure("Give the CRM id to stamp the item with first");
    let told;
    if (member === "SetImportID") {
      const answer = await control.SetImportID(id, row.entryId, layout.itemType);
      if (answer !== "") return failure(String(answer));
      told = `SetImportID stamped the ${layout.noun} with CRM id ${id}`;
    } else {
      const account = $(`${prefix}-account-id`)?.value ?? "";
      const marked = await control.SetItemAsLumora(layout.itemType, last.storeId, row.entryId, account, id);
      if (marked !== true || boxesShown.length) return failureFromBoxes(failure(`SetItemAsLumora answered ${logValue(marked)}`));
      told = `SetItemAsLumora marked the ${layout.noun} as synchronised with CRM id ${id}`;
    }
    crmId.value = newCrmId();  // the next item the CRM stores gets an id of its own
    const again = await read(last.kind, last.args);
    if (!again.listed) return unknown(`${told}, but the list could not be read again: ${again.outcome.text}`);
    const stillListed = again.listed.some((fields) => fields[layout.entryId] === row.entryId);
    if (!stillListed) return success(`${told}; the scan no longer lists it`);
    // SetImportID leaves the "Lumora" mark alone, so a contact whose CRM id is shorter than 36
    // characters is still counted as not synchronised; SetItemAsLumora always sets the mark.
    if (member === "SetImportID") return success(`${told}; the scan still lists it (without the "Lumora" mark a CRM id needs 36 characters)`);
    return failure(`${told}, but the scan still lists it`);
  }

  Delimited.onRow(view, output, {
    SetImportID: (row) => mark("SetImportID", row),
    SetItemAsLumora: (row) => mark("SetItemAsLumora", row),
  });
  return async (kind, ...args) => (await read(kind, args)).outcome;
}
