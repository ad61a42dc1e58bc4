// Running one action of a demo panel as a person does: click its button, answer every message box
// the control shows on the way with its first button, and read the outcome the panel shows.

// Answers {outcome, text, boxes}: the output's data-outcome and text, and the boxes' texts.
export async function runAction(page, buttonId, outputId) {
  await page.evaluate((id) => {
    const output = document.getElementById(id);
    delete output.dataset.outcome;
    output.textContent = "";
  }, outputId);
  await page.click(`#${buttonId}`);
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
