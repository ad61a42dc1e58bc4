// One demo session for a panel's browser tests: `lumora serve` on a private data and temporary
// folder (its PIM filled through `lumora pim import` when files are given), headless Chromium, the
// demo page opened and connected, and `lumora run` to read the store as the object model sees it.

import { execFileSync, spawn } from "node:child_process";
import { existsSync, mkdtempSync, rmSync, writeFileSync } from "node:fs";
import os from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";
import { chromium } from "playwright-core";

const here = path.dirname(fileURLToPath(import.meta.url));
const buildDir = process.env.LUMORA_BUILD_DIR || path.resolve(here, "../../build");
const lumora = path.join(buildDir, "bin", "lumora");
const chromiumPath = process.env.LUMORA_CHROMIUM || "/usr/bin/chromium";

// `lumora serve` on the data folder, with any further options. Answers the child, the demo page's
// address and the log, whose text grows with what the bridge writes on stderr.
export function startBridge(scratch, data, options = []) {
  const child = spawn(lumora, ["serve", "--port", "0", "--data", data, "--temp", path.join(scratch, "temp"),
                               "--no-launch", ...options], { stdio: ["ignore", "pipe", "pipe"] });
  let output = "";
  const log = { text: "" };
  child.stderr.on("data", (chunk) => { output += chunk; log.text += chunk; });
  return new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`lumora serve did not start:\n${output}`)), 30000);
    child.stdout.on("data", (chunk) => {
      output += chunk;
      const match = /listening on (http:\/\/127\.0\.0\.1:\d+\/)/.exec(output);
      if (match) {
        clearTimeout(timer);
        resolve({ child, url: match[1], log });
      }
    });
    child.on("exit", (code) => reject(new Error(`lumora serve exited with ${code}:\n${output}`)));
  });
}

export class DemoSession {
  // files: {name: text} of vCard or iCalendar files imported into the PIM before serving;
  // options: further options of lumora serve (--now pins the clock the control reads);
  // prepare(session): what else is done to the data folder before serving (an account added).
  async start(files = {}, options = [], prepare = undefined) {
    if (!existsSync(lumora)) throw new Error(`build the project first: ${lumora} is missing`);
    this.scratch = mkdtempSync(path.join(os.tmpdir(), "lumora-e2e-panel-"));
    this.data = path.join(this.scratch, "data");
    for (const [name, text] of Object.entries(files)) {
      writeFileSync(path.join(this.scratch, name), text);
      execFileSync(lumora, ["--data", this.data, "pim", "import", path.join(this.scratch, name)], { stdio: "ignore" });
    }
    if (prepare) await prepare(this);
    ({ child: this.bridge, url: this.url } = await startBridge(this.scratch, this.data, options));
    this.context = await chromium.launchPersistentContext(path.join(this.scratch, "profile"), {
      executablePath: chromiumPath,
      headless: true,
      args: ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
             "--disable-component-update", "--disable-sync"],
    });
  }

  async openDemo() {
    const page = await this.context.newPage();
    await page.goto(this.url);
    await page.locator('#connection[data-state="connected"]').waitFor({ timeout: 30000 });
    return page;
  }

  // A `lumora` command on the same data folder; answers what it printed.
  lumora(args) {
    return execFileSync(lumora, ["--data", this.data, ...args], { encoding: "utf8" });
  }

  // The transcript entries of a `lumora run` script's steps against the same store.
  transcript(steps) {
    // Room for an item's megabyte values in the transcript.
    const out = execFileSync(lumora, ["--data", this.data, "run", "-"],
                             { input: JSON.stringify({ steps }), maxBuffer: 64 * 1024 * 1024 });
    return JSON.parse(out).steps;
  }

  // The results of a `lumora run` script's steps against the same store.
  run(steps) {
    return this.transcript(steps).map((step) => step.result);
  }

  async stop() {
    if (this.context) await this.context.close();
    if (this.bridge && this.bridge.exitCode === null) {
      const exited = new Promise((resolve) => this.bridge.once("exit", resolve));
      this.bridge.kill("SIGTERM");
      await exited;
    }
    if (this.scratch) rmSync(this.scratch, { recursive: true, force: true });
  }
}
