// The CRM's import from the PIM, in the three steps contacts and tasks share: the folder list, a
// chosen folder's items, and a chosen item's values, each shown raw and as the CRM page splits it.
//
// The folder id goes on as the page received it, stray "#" and all: the item-list member removes
// every "#" from it and hands the cleaned id back by reference, and that is the id the import
// member is given, as a CRM page passing the same variable along would give it.
"use strict";

// prefix: the element ids begin with it: the part #PREFIX-import, its button #PREFIX-folders,
// and the views this adds to the part, #PREFIX-folders-view, #PREFIX-items-view and
// #PREFIX-details-view; output: the id of the outcome's output.
// members: {folderList: name, listFolders(): the list, items: name, itemTitle: caption,
// details: name}; detailNames: the import's values by name, in order; emptyListWorks: an empty
// item list is an answer rather than a failure (tasks); itemActions: {name: [caption,
// handler(row)]} of further buttons on an item row (row.entryId, row.cells).
function outlookImport({ prefix, output, noun, members, detailNames, emptyListWorks = false, itemActions = {} }) {
  const [folderView, itemView, detailView] = ["folders", "items", "details"].map((step) => {
    const view = Object.assign(document.createElement("div"), { id: `${prefix}-${step}-view`, className: "delimited", hidden: true });
    $(`${prefix}-import`).append(view);
    return view;
  });
  let chosen = null;  // {name, id}: the folder the item list was read from, with its cleaned id

  const counted = (count, word) => `${count} ${word}${count === 1 ? "" : "s"}`;
  // What the table says when it has no rows: nothing listed, or nothing to split.
  const emptyText = (outcome, listed) => (outcome.kind === "failure" ? "No list: the call failed" : listed);

  action(`${prefix}-folders`, output, async () => {
    const list = await members.listFolders();
    [itemView, detailView].forEach(Delimited.clear);
    const folders = Delimited.pairs(list);
    let outcome;
    if (boxesShown.length) outcome = failureFromBoxes();
    else if (!list) outcome = failure(`No ${noun} folders were listed`);
    else outcome = success(`${counted(folders.length, `${noun} folder`)} listed`);
    Delimited.show(folderView, {
      caption: members.folderList, raw: list, columns: ["Folder", "Entry id"], empty: emptyText(outcome, "No folders"),
      rows: folders.map(([name, id]) => ({ cells: [name, id], name, id, actions: [["items", members.items]] })),
    });
    return outcome;
  });

  Delimited.onRow(folderView, output, {
    async items(folder) {
      const { result, byref } = await control.$call(members.items, [folder.id]);
      chosen = { name: folder.name, id: byref[0] ?? folder.id };
      Delimited.clear(detailView);
      const items = Delimited.pairs(result);
      let outcome;
      if (boxesShown.length) outcome = failureFromBoxes();
      else if (!result && !emptyListWorks) outcome = failure(`No ${noun}s were listed in ${folder.name}`);
      else outcome = success(`${counted(items.length, noun)} in ${folder.name}`);
      const actions = [["import", members.details], ...Object.entries(itemActions).map(([name, [caption]]) => [name, caption])];
      Delimited.show(itemView, {
        caption: `${members.items} of ${folder.name}`, raw: result, columns: [members.itemTitle, "Entry id"],
        empty: emptyText(outcome, `No ${noun}s listed`),
        rows: items.map(([title, entryId]) => ({ cells: [title, entryId], entryId, actions })),
      });
      return outcome;
    },
  });

  const importItem = async (row) => {
    const details = await control[members.details](chosen.id, row.entryId);
    const values = Delimited.values(details);
    let outcome;
    if (boxesShown.length) {
      outcome = failureFromBoxes();
    } else if (values.length !== detailNames.length) {
      outcome = unknown(`${values.length} values where ${detailNames.length} were expected: ` +
                        "a value holding \"#~\" was split where the CRM page splits it");
    } else {
      outcome = success(`The ${noun}'s ${detailNames.length} values, from ${chosen.name}`);
    }
    Delimited.show(detailView, {
      caption: `${members.details} of ${row.cells[0]}`, raw: details, columns: ["Field", "Value"],
      empty: emptyText(outcome, "No values"),
      rows: values.map((value, i) => ({ cells: [detailNames[i] ?? `value ${i + 1}`, value] })),
    });
    return outcome;
  };
  const handlers = { import: importItem };
  for (const [name, [, handler]] of Object.entries(itemActions)) handlers[name] = handler;
  Delimited.onRow(itemView, output, handlers);
}
