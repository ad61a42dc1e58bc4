// Letter campaigns in the Campaigns panel, in a real browser: the sample letter merged with the
// sample recipients in the control's progress window, whose steps show live and whose OK ends
// the campaign; the same merge without the window; and a merge over a long list cancelled from
// the window while it runs. The merged letters are read back by Python's zip and XML readers.

import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import path from "node:path";
import { writeFileSync } from "node:fs";
import { DemoSession } from "./demo_session.mjs";
import { readDocx } from "./saved_docx.mjs";

const session = new DemoSession();
let page;

before(async () => {
  await session.start();
  page = await session.openDemo();
  await page.selectOption("#campaign-medium", "2");
});
after(() => session.stop());

const RECIPIENTS = ["Anne Dodsworth", "Robert King", "Laura Callahan", "Margaret Peacock", "Seán O'Neill",
                    "Дмитрий Иванов", "Νίκος Παπαδόπουλος", "Zoë Lefèvre", "Steven Buchanan", "Janet Leverling",
                    "Michael Suyama", "Nancy Davolio"];

const progressWindow = () => page.locator('dialog.lumora-window[open][data-window="frmMergeProgress"]');
const label = (name) => progressWindow().locator(`.lumora-label[data-name="${name}"]`);
const button = (name) => progressWindow().locator(`button[data-name="${name}"]`);

async function startCampaign() {
  await page.evaluate(() => {
    const output = document.getElementById("campaign-result");
    delete output.dataset.outcome;
    output.textContent = "";
  });
  await page.click("#campaign");
}

async function outcome() {
  const output = page.locator("#campaign-result");
  await page.locator("#campaign-result[data-outcome]").waitFor({ timeout: 120000 });
  return { outcome: await output.getAttribute("data-outcome"), text: await output.textContent(),
           link: await output.locator("a").getAttribute("href").catch(() => null) };
}

// The offered document of letters, downloaded through the page's link and read back.
async function mergedLetters(link) {
  const response = await page.request.get(link);
  assert.equal(response.status(), 200);
  const file = path.join(session.scratch, `letters-${Date.now()}.docx`);
  writeFileSync(file, await response.body());
  return readDocx(file).paragraphs.join("\n");
}

function assertEveryRecipient(text) {
  for (const name of RECIPIENTS) assert.ok(text.includes(name), name);
  for (const company of ["Smith, Jones & Partners", 'The "Blue Door" Café', "Волга Трейд"])
    assert.ok(text.includes(company), company);
  assert.doesNotMatch(text, /<[A-Z]+>/);
  assert.equal(text.match(/Our spring offer/g).length, RECIPIENTS.length);
}

test("the letter medium offers the sample letter, its recipients and the choice of merge", async () => {
  assert.match(await page.inputValue("#campaign-template"), /\/Campaign letter\.docx$/);
  assert.match(await page.inputValue("#campaign-xml"), /Дмитрий/);
  assert.equal(await page.isVisible("#campaign-subject"), false);
  assert.equal(await page.inputValue("#campaign-merge"), "1");
});

test("a window merge shows its steps, ends on OK and offers every recipient's letter", { timeout: 180000 }, async () => {
  await startCampaign();
  await progressWindow().waitFor();
  assert.equal(await label("lblProgress1").textContent(), "Mailmerge Progress");
  await page.waitForFunction(() => /^Mailmerge completed - 12 rows\.$/.test(
    document.querySelector('dialog[data-window="frmMergeProgress"] [data-name="lblProgress2"]')?.textContent), null,
    { timeout: 120000 });
  assert.equal(await button("cmdCancel").isVisible(), false);
  await button("cmdHide").click();
  const result = await outcome();
  assert.equal(result.outcome, "success", result.text);
  assert.equal(result.text, "12 letters merged into one document: Download");
  assert.equal(await progressWindow().count(), 0);
  assertEveryRecipient(await mergedLetters(result.link));
});

test("a direct merge shows no window and offers every recipient's letter", { timeout: 180000 }, async () => {
  await page.selectOption("#campaign-merge", "0");
  await startCampaign();
  const result = await outcome();
  assert.equal(result.outcome, "success", result.text);
  assert.equal(result.text, "12 letters merged into one document: Download");
  assertEveryRecipient(await mergedLetters(result.link));
  await page.selectOption("#campaign-merge", "1");
});

test("a window merge over a long list is cancelled from the window and offers no letters", { timeout: 180000 }, async () => {
  await page.selectOption("#campaign-repeat", "1000");
  await startCampaign();
  // Cancel is pressed the moment the window shows the data being filled, from inside the page:
  // a round trip from the test for each look would let the merge run past its last checkpoint.
  const pressedAt = await page.evaluate(() => new Promise((resolve) => {
    const look = () => {
      const window_ = document.querySelector('dialog[data-window="frmMergeProgress"]');
      const step = window_?.querySelector('[data-name="lblProgress2"]').textContent || "";
      if (!/^Building Merge Data file - Filling data \(\d+%\)$/.test(step)) return false;
      window_.querySelector('button[data-name="cmdCancel"]').click();
      resolve(step);
      return true;
    };
    if (!look()) new MutationObserver((_, observer) => look() && observer.disconnect())
      .observe(document.body, { subtree: true, childList: true, characterData: true });
  }));
  assert.match(pressedAt, /Filling data/);
  await page.waitForFunction(() => document.querySelector(
    'dialog[data-window="frmMergeProgress"] [data-name="lblProgress2"]')?.textContent === "Merge cancelled by user.", null,
    { timeout: 60000 });
  assert.equal(await label("lblMergeError").textContent(), "");
  await button("cmdHide").click();
  const result = await outcome();
  assert.deepEqual(result, { outcome: "cancelled", text: "The merge was cancelled: no letters were made", link: null });
  assert.equal(await page.locator('.lumora-toast[data-kind="document"]').count(), 2);  // the two merges before
  await page.selectOption("#campaign-repeat", "1");
});

test("a template that is not there is told as the merge window's failure, never as letters", { timeout: 120000 }, async () => {
  const template = await page.inputValue("#campaign-template");
  await page.fill("#campaign-template", template.replace(/Campaign letter/, "No such letter"));
  await startCampaign();
  await button("cmdWholeError").waitFor({ state: "visible", timeout: 60000 });
  const error = await label("lblMergeError").textContent();
  assert.match(error, /^Error running campaign - /);
  await button("cmdWholeError").click();
  await button("cmdHide").click();
  assert.deepEqual(await outcome(), { outcome: "failure", text: error, link: null });
  await page.fill("#campaign-template", template);
});
