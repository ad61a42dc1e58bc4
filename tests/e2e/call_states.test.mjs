// The Telephony panel in a real browser, on a SIP line whose far end is real: sipp answers on
// loopback, the call is placed and hung up from the panel, and the panel shows it ringing, answered
// with its length running, and ended with its final length; the line's user agent goes with it.

import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { spawn } from "node:child_process";
import dgram from "node:dgram";
import { existsSync, readdirSync, readFileSync } from "node:fs";
import path from "node:path";
import { DemoSession } from "./demo_session.mjs";
import { runAction, screenshotPanel, waitFor } from "./panel_actions.mjs";

const LINE = "Office SIP";
const NUMBER = "0161 496 0000";

const onPath = (program) =>
  (process.env.PATH || "").split(":").some((dir) => dir && existsSync(path.join(dir, program)));
const missing = ["sipp", "baresip"].filter((program) => !onPath(program));
const skip = missing.length
  ? `${missing.join(" and ")} missing: scripts/install-deps.sh --with-tests installs them` : false;

const session = new DemoSession();
let sipp;
let page;

// A UDP port nobody holds now, for sipp to answer on.
function freeUdpPort() {
  const socket = dgram.createSocket("udp4");
  return new Promise((resolve, reject) => {
    socket.once("error", reject);
    socket.bind(0, "127.0.0.1", () => {
      const { port } = socket.address();
      socket.close(() => resolve(port));
    });
  });
}

// sipp's built-in answering scenario: 180 Ringing, 200 OK, the sound echoed, then it waits for the BYE.
async function startFarEnd() {
  const port = await freeUdpPort();
  const child = spawn("sipp", ["-sn", "uas", "-i", "127.0.0.1", "-p", String(port), "-m", "1", "-nostdin", "-rtp_echo"],
                      { stdio: "ignore" });
  await new Promise((resolve, reject) => {
    child.once("error", reject);
    // sipp opens its port within moments; a call placed before would meet a closed port.
    setTimeout(resolve, 300);
  });
  return { child, port };
}

// The processes named `name` whose parent chain reaches the process `ancestor`.
function descendantsNamed(ancestor, name) {
  const processes = new Map();
  for (const entry of readdirSync("/proc")) {
    if (!/^\d+$/.test(entry)) continue;
    try {
      const stat = readFileSync(`/proc/${entry}/stat`, "utf8");
      // pid (comm) state ppid …: comm may hold blanks and parentheses, so read from the last ")".
      const close = stat.lastIndexOf(")");
      processes.set(Number(entry), { comm: stat.slice(stat.indexOf("(") + 1, close),
                                     parent: Number(stat.slice(close + 2).split(" ")[1]) });
    } catch (e) {
      // Gone meanwhile.
    }
  }
  return [...processes].filter(([, { comm }]) => comm === name).map(([pid]) => pid).filter((pid) => {
    for (let at = processes.get(pid)?.parent; at; at = processes.get(at)?.parent) if (at === ancestor) return true;
    return false;
  });
}

before(async () => {
  if (skip) return;
  sipp = await startFarEnd();
  await session.start({}, [], (demo) => demo.lumora(["lines", "add", "sip", LINE, "--account",
                                                     `sip:desk@127.0.0.1:${sipp.port}`]));
  page = await session.openDemo();
});
after(async () => {
  await session.stop();
  if (sipp && sipp.child.exitCode === null) sipp.child.kill("SIGKILL");
});

const callEntry = () => page.locator("#call-states li").first();

test("a call on a SIP line shows in the Telephony panel as it rings, is answered and ends", { skip, timeout: 90000 },
     async () => {
  assert.equal((await runAction(page, "tapi-drivers", "telephony-result")).outcome, "success");
  await page.selectOption("#call-line", LINE);
  await page.fill("#call-number", NUMBER);
  await page.fill("#call-parameters", `object=LumoraGenTAPI30.Dialer;number=${NUMBER};tapidevice=office`);
  const placed = await runAction(page, "make-call", "telephony-result");
  assert.equal(placed.outcome, "success", placed.text);

  // Answered after MakeCall has returned; the length runs while the call lasts.
  await page.locator('#call-states li[data-state="answered"]').waitFor({ timeout: 15000 });
  assert.equal(await page.locator("#call-states li").count(), 1);
  assert.equal(await callEntry().locator(".call-who").textContent(), `${LINE} · ${NUMBER}`);
  await new Promise((resolve) => setTimeout(resolve, 2000));
  assert.match(await callEntry().locator(".call-length").textContent(), /^0:0[1-9]$/);

  assert.equal((await runAction(page, "hangup", "telephony-result")).outcome, "unknown");
  await page.locator('#call-states li[data-state="ended"]').waitFor({ timeout: 15000 });
  const entry = await callEntry().evaluate((item) => ({
    states: item.dataset.states,
    history: item.querySelector(".call-history").textContent,
    length: item.querySelector(".call-length").textContent,
    reason: item.querySelector(".call-reason").textContent,
  }));
  assert.equal(entry.states, "ringing answered ended");
  const [, minutes, seconds] = /^ringing → answered → ended (\d+):(\d\d)$/.exec(entry.history) || [];
  assert.ok(minutes !== undefined && Number(minutes) * 60 + Number(seconds) >= 1, entry.history);
  assert.equal(entry.length, `${minutes}:${seconds}`);
  assert.equal(entry.reason, "hung up here");
  // The length stands still once the call has ended.
  await new Promise((resolve) => setTimeout(resolve, 1200));
  assert.equal(await callEntry().locator(".call-length").textContent(), entry.length);

  // A line without a sound device says so once, above the calls.
  assert.ok(await page.locator("#call-notices .call-notice").count() <= 1);

  await screenshotPanel(page, "panel-telephony", "call-ended");
  await waitFor("the line's user agent has ended", () => descendantsNamed(session.bridge.pid, "baresip").length === 0,
                10000);
});
