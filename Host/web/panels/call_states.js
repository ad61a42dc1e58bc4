// The Telephony panel's calls: one entry for each call a line reports (call.state), with its line,
// its number and where it stands, the states it went through, and its length: running while it is
// answered, final once it has ended. A line's notice (that it has no sound device, say) is shown
// once above the calls. Reports come at any time, also after MakeCall has returned.
"use strict";

const CALLS_KEPT = 20;

// Seconds as a call's length reads: m:ss.
function callLength(seconds) {
  const whole = Math.max(0, Math.floor(Number(seconds) || 0));
  return `${Math.floor(whole / 60)}:${String(whole % 60).padStart(2, "0")}`;
}

class CallStateList {
  constructor(list, notices) {
    this.list = list;
    this.notices = notices;
    this.calls = new Map();       // call number -> {entry, states, answeredAt}
    this.noticesShown = new Set();
    this.clock = null;
  }

  show(report) {
    if (report.notice) this.showNotice(report.line, report.notice);
    if (report.call === undefined || !report.state) return;
    const call = this.callOf(report);
    const state = String(report.state);
    if (call.states[call.states.length - 1] === state) return;
    call.states.push(state);
    if (state === "answered") call.answeredAt = performance.now();
    else call.answeredAt = null;
    if (report.seconds !== undefined) call.seconds = Number(report.seconds);
    if (report.reason) call.reason = String(report.reason);
    this.render(call, state);
    this.keepClockRunning();
  }

  callOf(report) {
    const key = String(report.call);
    let call = this.calls.get(key);
    if (!call) {
      const entry = document.createElement("li");
      entry.dataset.call = key;
      const head = document.createElement("div");
      head.className = "call-head";
      const who = document.createElement("span");
      who.className = "call-who";
      who.textContent = [report.line, report.number].filter(Boolean).join(" · ") || `Call ${key}`;
      const state = Object.assign(document.createElement("span"), { className: "call-state" });
      const length = Object.assign(document.createElement("span"), { className: "call-length" });
      head.append(who, state, length);
      const history = Object.assign(document.createElement("div"), { className: "call-history" });
      const reason = Object.assign(document.createElement("div"), { className: "call-reason" });
      entry.append(head, history, reason);
      this.list.prepend(entry);
      call = { entry, states: [], answeredAt: null, seconds: undefined, reason: "" };
      this.calls.set(key, call);
      this.forgetOldest();
    }
    return call;
  }

  forgetOldest() {
    while (this.calls.size > CALLS_KEPT) {
      const [oldest, call] = this.calls.entries().next().value;
      call.entry.remove();
      this.calls.delete(oldest);
    }
  }

  render(call, state) {
    const { entry } = call;
    entry.dataset.state = state;
    entry.dataset.states = call.states.join(" ");
    entry.querySelector(".call-state").textContent = state;
    const final = call.seconds !== undefined && state === "ended" ? callLength(call.seconds) : "";
    entry.querySelector(".call-history").textContent =
      call.states.join(" → ") + (final ? ` ${final}` : "");
    entry.querySelector(".call-reason").textContent = state === "ended" || state === "failed" ? call.reason : "";
    const length = entry.querySelector(".call-length");
    if (state === "answered") length.textContent = callLength(0);
    else length.textContent = final;
  }

  showNotice(line, notice) {
    const key = `${line}\n${notice}`;
    if (this.noticesShown.has(key)) return;
    this.noticesShown.add(key);
    const note = document.createElement("p");
    note.className = "call-notice";
    note.setAttribute("role", "alert");
    // The notice names its line itself.
    note.textContent = String(notice);
    this.notices.appendChild(note);
  }

  // One clock for every answered call: their lengths tick each second until none is answered.
  keepClockRunning() {
    const answered = [...this.calls.values()].filter((call) => call.answeredAt !== null);
    if (!answered.length) {
      clearInterval(this.clock);
      this.clock = null;
      return;
    }
    if (this.clock) return;
    this.clock = setInterval(() => {
      const now = performance.now();
      for (const call of this.calls.values()) {
        if (call.answeredAt === null) continue;
        call.entry.querySelector(".call-length").textContent = callLength((now - call.answeredAt) / 1000);
      }
    }, 1000);
  }
}
