// What the PIM panels' browser tests share: a data folder filled through `lumora pim import`,
// `lumora serve` on it, headless Chromium on the demo page, and `lumora run` to read the store
// as the object model sees it.

import { execFileSync, spawn } from "node:child_process";
import { mkdtempSync, rmSync, writeFileSync } from "node:fs";
import os from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";
import { chromium } from "playwright-core";

const here = path.dirname(fileURLToPath(import.meta.url));
const buildDir = process.env.LUMORA_BUILD_DIR || path.resolve(here, "../../build");
const lumora = path.join(buildDir, "bin", "lumora");
const chromiumPath = process.env.LUMORA_CHROMIUM || "/usr/bin/chromium";

export async function startPimDemo(files) {
  const scratch = mkdtempSync(path.join(os.tmpdir(), "lumora-pim-e2e-"));
  const data = path.join(scratch, "data");
  for (const [name, text] of Object.entries(files)) {
    writeFileSync(path.join(scratch, name), text);
    execFileSync(lumora, ["--data", data, "pim", "import", path.join(scratch, name)], { stdio: "ignore" });
  }
  const bridge = spawn(lumora, ["serve", "--port", "0", "--data", data, "--temp", path.join(scratch, "temp"), "--no-launch"],
                       { stdio: ["ignore", "pipe", "pipe"] });
  const url = await new Promise((resolve, reject) => {
    let output = "";
    const timer = setTimeout(() => reject(new Error(`lumora serve did not start:\n${output}`)), 30000);
    bridge.stderr.on("data", (chunk) => { output += chunk; });
    bridge.stdout.on("data", (chunk) => {
      output += chunk;
      const match = /listening on (http:\/\/127\.0\.0\.1:\d+\/)/.exec(output);
      if (match) {
        clearTimeout(timer);
        resolve(match[1]);
      }
    });
    bridge.on("exit", (code) => reject(new Error(`lumora serve exited with ${code}:\n${output}`)));
  });
  const browser = await chromium.launchPersistentContext(path.join(scratch, "profile"), {
    executablePath: chromiumPath,
    headless: true,
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync"],
  });

  return {
    async openDemo() {
      const page = await browser.newPage();
      await page.goto(url);
      await page.locator('#connection[data-state="connected"]').waitFor({ timeout: 30000 });
      return page;
    },
    // The results of a `lumora run` script's steps against the same store.
    run(steps) {
      const out = execFileSync(lumora, ["--data", data, "run", "-"], { input: JSON.stringify({ steps }) });
      return JSON.parse(out).steps.map((step) => step.result);
    },
    async stop() {
      await browser.close();
      const exited = new Promise((resolve) => bridge.once("exit", resolve));
      bridge.kill("SIGTERM");
      await exited;
      rmSync(scratch, { recursive: true, force: true });
    },
  };
}

// The subjects (or names) of the explorer's selection, in selection order.
export function selectionSteps(count, member) {
  const steps = [
    { create: "Outlook.Application", as: "ol" },
    { call: "ol", member: "ActiveExplorer", as: "explorer" },
    { get: "explorer", member: "Selection", as: "selection" },
    { get: "selection", member: "Count" },
  ];
  for (let i = 1; i <= count; i++) {
    steps.push({ call: "selection", member: "Item", args: [i], as: `item${i}` });
    steps.push({ get: `item${i}`, member });
  }
  return steps;
}
