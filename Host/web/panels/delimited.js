// How the CRM's pages read the desktop control's delimited results, and a view that shows one
// as the control answered it beside the table the page makes of it.
//
// The control never escapes a value, so a value holding a delimiter splits where the CRM page
// splits it. The table shows what the page would make of such a result and marks the rows that
// do not line up, rather than mending them.
"use strict";

const Delimited = (() => {
  const VALUE_END = "#~";
  const STORE_END = "<-!->";
  const FIELD_SEPARATOR = "|";

  // Values each followed by "#~": the pieces between the delimiters, without the empty piece
  // after the last one. A last value without its delimiter (a task's folder id) is kept.
  function values(text) {
    const pieces = String(text).split(VALUE_END);
    if (pieces[pieces.length - 1] === "") pieces.pop();
    return pieces;
  }

  // Name and entry id alternately, as the folder and item lists give them. A folder list ends in
  // a single "#" left over from its last delimiter; it stays on the last id, as the CRM page
  // receives it (the item-list members remove every "#" from the folder id they are given).
  function pairs(text) {
    const pieces = values(text);
    const out = [];
    for (let i = 0; i < pieces.length; i += 2) out.push([pieces[i], pieces[i + 1] ?? ""]);
    return out;
  }

  // The scans' form: the store id, "<-!->", then each record followed by "#~", its fields
  // separated by "|". Answers null for a text without "<-!->" (a failed scan answers "").
  function records(text) {
    const at = String(text).indexOf(STORE_END);
    if (at < 0) return null;
    const rest = text.slice(at + STORE_END.length);
    return { storeId: text.slice(0, at), records: values(rest).map((record) => record.split(FIELD_SEPARATOR)) };
  }

  function element(tag, className, text) {
    const made = document.createElement(tag);
    if (className) made.className = className;
    if (text !== undefined) made.textContent = text;
    return made;
  }

  // An empty value is shown as such (the style sheet says "empty"); its text stays "".
  const cell = (text) => element("td", text === "" ? "empty" : "", text);

  const shownRows = new WeakMap();  // view -> the rows it shows, for its row buttons

  // Fills a view (a .delimited element) with the raw result and its table. columns: captions;
  // rows: {cells, actions: [[name, caption]], note, title}. A row's note says why the CRM page
  // would misread it; its title lists every field for a reader who points at it. head: what the
  // page read before the rows (a scan's store id).
  function show(view, { caption, raw, columns, rows, empty, head }) {
    const rawPart = element("figure", "raw");
    rawPart.append(element("figcaption", "", `${caption}: as answered (${[...String(raw)].length} characters)`),
                   element("pre", "", String(raw)));
    const table = element("table");
    const headRow = element("tr");
    headRow.append(...columns.map((name) => element("th", "", name)));
    if (rows.some((row) => row.actions && row.actions.length)) headRow.append(element("th", "", ""));
    table.append(element("caption", "", `${caption}: as the CRM page splits it${head ? `; ${head}` : ""}`),
                 element("thead"), element("tbody"));
    table.tHead.append(headRow);
    rows.forEach((row, index) => {
      const line = element("tr");
      if (row.title) line.title = row.title;
      line.append(...row.cells.map(cell));
      if (row.actions && row.actions.length) {
        const buttons = element("td", "row-actions");
        for (const [name, label] of row.actions) {
          const button = element("button", "", label);
          button.type = "button";
          button.dataset.action = name;
          button.dataset.row = String(index);
          buttons.append(button);
        }
        line.append(buttons);
      }
      table.tBodies[0].append(line);
      if (row.note) {
        const note = element("tr", "row-note");
        const text = element("td", "", row.note);
        text.colSpan = columns.length + 1;
        note.append(text);
        table.tBodies[0].append(note);
      }
    });
    if (!rows.length) {
      const none = element("tr", "row-note");
      const text = element("td", "", empty || "Nothing listed");
      text.colSpan = columns.length;
      none.append(text);
      table.tBodies[0].append(none);
    }
    shownRows.set(view, rows);
    view.replaceChildren(rawPart, table);
    view.hidden = false;
  }

  function clear(view) {
    shownRows.delete(view);
    view.replaceChildren();
    view.hidden = true;
  }

  // Runs handlers[name](row) as the panel's action when a row's button is pressed; the outcome
  // is shown in outputId.
  function onRow(view, outputId, handlers) {
    view.addEventListener("click", (event) => {
      const button = event.target.closest("button[data-action]");
      if (!button || !view.contains(button)) return;
      const row = (shownRows.get(view) || [])[Number(button.dataset.row)];
      const handler = handlers[button.dataset.action];
      if (row && handler) runPanelAction(button, outputId, () => handler(row));
    });
  }

  // A tooltip of every field of a record under its name.
  function fieldList(names, fields) {
    return fields.map((value, i) => `${names[i] ?? `field ${i + 1}`}: ${value}`).join("\n");
  }

  return { values, pairs, records, show, clear, onRow, fieldList };
})();
