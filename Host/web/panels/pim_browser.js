// A panel onto one kind of the person's PIM folders (appointments, contacts): the folders of that
// kind, a chosen folder's items, and the items the person picks, which become the explorer's
// selection in that order. Open shows the first picked item in its item window. Each panel has a
// form area and an action row that other actions of the controls join (see calendar.js).
"use strict";

const PIM_ADMIN = "Lumora.PimAdmin";
let pimAdmin = null;

async function pimAdminObject() {
  if (!pimAdmin) pimAdmin = await connection.create(PIM_ADMIN);
  return pimAdmin;
}

// prefix: the panel's element ids begin with it ("calendar" -> #calendar-folder, #calendar-items,
// #calendar-refresh, #calendar-open, #calendar-result); itemType: the folders' default item type.
function pimBrowserPanel({ prefix, itemType, noun }) {
  const folderList = $(`${prefix}-folder`);
  const itemList = $(`${prefix}-items`);
  const picked = [];  // entry ids in the order the person picked them

  async function showItems() {
    const admin = await pimAdminObject();
    const rows = folderList.value ? await admin.Items(folderList.value) : [];
    picked.length = 0;
    itemList.replaceChildren(...rows.map(([entryId, , title, detail]) => {
      const row = document.createElement("li");
      row.dataset.entryId = entryId;
      row.setAttribute("role", "option");
      row.setAttribute("aria-selected", "false");
      row.tabIndex = 0;
      row.append(title || "(untitled)");
      if (detail) row.append(Object.assign(document.createElement("small"), { textContent: detail }));
      return row;
    }));
    const folderName = folderList.selectedOptions[0]?.textContent.trim() ?? "no folder";
    return success(`${rows.length} ${noun}${rows.length === 1 ? "" : "s"} in ${folderName}`);
  }

  async function refresh() {
    const admin = await pimAdminObject();
    const chosen = folderList.value;
    const folders = (await admin.Folders()).filter((folder) => folder[2] === itemType);
    folderList.replaceChildren(...folders.map(([entryId, name, , count, depth]) => {
      const option = document.createElement("option");
      option.value = entryId;
      option.textContent = `${"\u00A0\u00A0".repeat(depth)}${name} (${count})`;
      return option;
    }));
    if (folders.some(([entryId]) => entryId === chosen)) folderList.value = chosen;
    return showItems();
  }

  async function pick(row) {
    const entryId = row.dataset.entryId;
    const at = picked.indexOf(entryId);
    if (at >= 0) picked.splice(at, 1);
    else picked.push(entryId);
    row.setAttribute("aria-selected", String(at < 0));
    await (await pimAdminObject()).Select(...picked);
    render(`${prefix}-result`, success(`${picked.length} selected in the explorer`));
  }

  folderList.addEventListener("change", () => showItems().then((outcome) => render(`${prefix}-result`, outcome),
                                                               (error) => render(`${prefix}-result`, failure(errorText(error)))));
  const onPick = (row) => pick(row).catch((error) => render(`${prefix}-result`, failure(errorText(error))));
  itemList.addEventListener("click", (event) => {
    const row = event.target.closest("li[data-entry-id]");
    if (row) onPick(row);
  });
  itemList.addEventListener("keydown", (event) => {
    const row = event.target.closest("li[data-entry-id]");
    if (row && (event.key === " " || event.key === "Enter")) {
      event.preventDefault();
      onPick(row);
    }
  });
  action(`${prefix}-refresh`, `${prefix}-result`, refresh);
  action(`${prefix}-open`, `${prefix}-result`, async () => {
    if (!picked.length) return failure(`Pick one of the ${noun}s first`);
    await (await pimAdminObject()).Display(picked[0]);
    return success(`The ${noun} is open in its window`);
  });
  // A saved item window may have changed what the list shows.
  document.addEventListener("lumora-item-saved", () => refresh().catch(() => {}));
  return { refresh, picked: () => [...picked] };
}
