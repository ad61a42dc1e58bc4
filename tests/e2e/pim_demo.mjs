// What the PIM panels' browser tests share: a demo session on a PIM filled from files or through
// its object model, and the script steps that read the explorer's selection back.

import { DemoSession } from "./demo_session.mjs";

export async function startPimDemo(files, options) {
  const session = new DemoSession();
  try {
    await session.start(files, options);
  } catch (error) {
    await session.stop();
    throw error;
  }
  return session;
}

// A demo session whose clock reads `now`, its PIM filled by fillStore(session) (which answers what
// the test needs of it, entry ids say), and the demo page open: {session, page, filled}.
export async function openFilledDemo(fillStore, now) {
  const session = await startPimDemo({}, ["--now", now]);
  try {
    const filled = fillStore(session);
    return { session, page: await session.openDemo(), filled };
  } catch (error) {
    await session.stop();
    throw error;
  }
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
