// Running one action of a demo panel as a person does: click its button, answer every message box
// the control shows on the way with its first button, and read the outcome the panel shows.

import assert from "node:assert/strict";

// button: the button's id, or a locator of a button made by the panel (a table row's).
// Answers {outcome, text, boxes}: the output's data-outcome and text, and the boxes' texts.
export async function runAction(page, button, outputId) {
  await page.evaluate((id) => {
    const output = document.getElementById(id);
    delete output.dataset.outcome;
    output.textContent = "";
  }, outputId);
  await (typeof button === "string" ? page.click(`#${button}`) : button.click());
  const boxes = [];
  for (;;) {
    const state = await page.waitForFunction((id) => {
      if (document.getElementById(id).dataset.outcome) return "done";
      return document.querySelector("dialog.lumora-message[open]") ? "box" : false;
    }, outputId, { timeout: 30000 });
    if ((await state.jsonValue()) === "done") break;
    const box = page.locator("dialog.lumora-message[open]");
    boxes.push(await box.locator(".lumora-text").textContent());
    await box.locator("button").first().click();
    await page.waitForFunction(() => !document.querySelector("dialog.lumora-message[open]"));
  }
  const output = page.locator(`#${outputId}`);
  return { outcome: await output.getAttribute("data-outcome"), text: await output.textContent(), boxes };
}

// What a panel's delimited view shows: the raw result, the table's rows (the cells' texts, the
// row's buttons left out) and the notes under rows.
export function readView(page, viewId) {
  return page.locator(`#${viewId}`).evaluate((view) => ({
    raw: view.hidden ? null : view.querySelector("pre").textContent,
    rows: [...view.querySelectorAll("tbody tr:not(.row-note)")]
      .map((row) => [...row.querySelectorAll("td:not(.row-actions)")].map((cell) => cell.textContent)),
    notes: [...view.querySelectorAll("tbody tr.row-note")].map((row) => row.textContent),
  }));
}

// The button of a view's row whose first cell reads exactly firstCell.
export function rowButton(page, viewId, firstCell, caption) {
  const exactly = new RegExp(`^${firstCell.replace(/[.*+?^${}()|[\]\\]/g, "\\$&")}$`);
  return page.locator(`#${viewId} tbody tr`).filter({ has: page.locator("td:first-child", { hasText: exactly }) })
    .getByRole("button", { name: caption, exact: true });
}

// The message window a member opened: its fields by name (an HTML body as its markup). The
// window is closed afterwards, as the person closes it.
export async function closeMessageWindow(page) {
  const window_ = page.locator('dialog.lumora-item[open][data-kind="mail"]');
  await window_.waitFor();
  const fields = await window_.locator("[data-field]").evaluateAll((inputs) =>
    Object.fromEntries(inputs.map((input) => [input.dataset.field, input.tagName === "IFRAME" ? input.srcdoc : input.value])));
  await window_.locator('button[data-name="close"]').click();
  await window_.waitFor({ state: "detached" });
  return fields;
}

// Waits until check() holds, asking every 200 ms; fails naming what was awaited.
export async function waitFor(what, check, timeout = 15000) {
  const deadline = Date.now() + timeout;
  while (Date.now() < deadline) {
    if (await check()) return;
    await new Promise((resolve) => setTimeout(resolve, 200));
  }
  assert.fail(`timed out waiting until ${what}`);
}

// A picture of a panel as the person sees it, for looking at by hand: written only when
// LUMORA_E2E_SCREENSHOTS names a folder, as NAME.png.
export async function screenshotPanel(page, panelId, name) {
  const folder = process.env.LUMORA_E2E_SCREENSHOTS;
  if (folder) await page.locator(`#${panelId}`).screenshot({ path: `${folder}/${name}.png` });
}
