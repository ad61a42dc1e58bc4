// Filling a demo session's PIM through its object model, as a person's PIM holds its items:
// folders under the default folders, items with their fields and the CRM's marks; and reading
// an item's marks and fields back by its entry id.

const START = [
  { create: "Outlook.Application", as: "ol" },
  { call: "ol", member: "GetNamespace", args: ["MAPI"], as: "ns" },
];

export const FOLDER = { calendar: 9, contacts: 10, tasks: 13, inbox: 6 };

// A date as the script encodes it: civil local time.
export const date = (text) => ({ $date: text });

// One `lumora run` script that makes folders and items; run() answers what was read (entry ids,
// store ids) by label.
export class PimFill {
  constructor() {
    this.steps = [...START];
    this.count = 0;
    this.labels = {};  // label -> index of the step that reads the entry id
  }

  name() {
    return `o${++this.count}`;
  }

  defaultFolder(type) {
    const as = this.name();
    this.steps.push({ call: "ns", member: "GetDefaultFolder", args: [type], as });
    return as;
  }

  // A subfolder of parent (a name this fillStore answered) of the given default-folder type.
  folder(parent, name, type, label) {
    const folders = this.name();
    const as = this.name();
    this.steps.push({ get: parent, member: "Folders", as: folders }, { call: folders, member: "Add", args: [name, type], as });
    if (label) this.read(as, "EntryID", label);
    return as;
  }

  // An item of the folder's own kind with its fields, saved, then given its marks (user
  // properties of type text) and saved again.
  item(folder, label, fields, marks = {}) {
    const items = this.name();
    const item = this.name();
    this.steps.push({ get: folder, member: "Items", as: items }, { call: items, member: "Add", as: item });
    for (const [member, value] of Object.entries(fields)) this.steps.push({ put: item, member, value });
    this.steps.push({ call: item, member: "Save" });
    if (Object.keys(marks).length) {
      const properties = this.name();
      this.steps.push({ get: item, member: "UserProperties", as: properties });
      for (const [name, value] of Object.entries(marks)) {
        const property = this.name();
        this.steps.push({ call: properties, member: "Add", args: [name, 1], as: property },
                        { put: property, member: "Value", value });
      }
      this.steps.push({ call: item, member: "Save" });
    }
    this.read(item, "EntryID", label);
    return item;
  }

  // Reads a member of an object this fillStore answered once the steps before have run.
  read(object, member, label) {
    this.labels[label] = this.steps.length;
    this.steps.push({ get: object, member });
  }

  // Runs the script in the session; every step must have worked.
  run(session) {
    const entries = session.transcript(this.steps);
    const failed = entries.find((entry) => entry.error);
    if (failed) throw new Error(`filling step ${failed.step} failed: ${failed.error.description}`);
    return Object.fromEntries(Object.entries(this.labels).map(([label, index]) => [label, entries[index].result]));
  }
}

// The user properties named and the fields given of the item with that entry id, and the name
// of its folder: {folder, marks: {name: value or null when absent}, fields: {member: value}}.
export function itemState(session, entryId, markNames = [], fieldNames = []) {
  const steps = [...START,
                 { call: "ns", member: "GetItemFromID", args: [entryId], as: "item" },
                 { get: "item", member: "Parent", as: "parent" },
                 { get: "parent", member: "Name" },
                 { get: "item", member: "UserProperties", as: "props" }];
  for (const name of markNames) {
    steps.push({ call: "props", member: "Find", args: [name], as: `p_${name}` }, { get: `p_${name}`, member: "Value" });
  }
  for (const name of fieldNames) steps.push({ get: "item", member: name });
  const entries = session.transcript(steps);
  if (entries[2].error) throw new Error(`no item ${entryId}: ${entries[2].error.description}`);
  const state = { folder: entries[4].result, marks: {}, fields: {} };
  let at = steps.length - fieldNames.length - 2 * markNames.length;
  for (const name of markNames) {
    state.marks[name] = entries[at].error || entries[at + 1].error ? null : entries[at + 1].result;
    at += 2;
  }
  for (const name of fieldNames) state.fields[name] = entries[at++].result;
  return state;
}
