// lumora.js: page script's way to the Lumora Desktop controls through the local bridge.
//
//   const ctl = await Lumora.connect().create("LumoraControl2005.LumoraCtrl2005");
//   await ctl.GetVersion();                       // "5.8.7"
//   await ctl.CreateMessage("Save?", 4, "CRM");   // 6 (Yes) or 7 (No), answered in the page
//
// Members are called by name on the proxies create() returns; every call answers a Promise.
// While a call runs, the bridge may ask the page to show a message box or a window; the default
// handlers show them as modal dialogs in the page, and connect(url, {ui}) installs others;
// connect(url, {onCall}) hears of every call once it is answered (the demo page's call log).
// A phone call placed through a line reports how it goes (ringing, answered, ended or failed) to
// ui.callState, also after the member that placed it has returned.
(function (global) {
  "use strict";

  // ---- values -------------------------------------------------------------------------------

  const NAMED = Symbol("lumora.named");
  const AUTOMATION_ERROR = -32000;  // the JSON-RPC code of a member's failure
  const PROXY_ID = Symbol("lumora.objectId");

  class LumoraError extends Error {
    constructor(message, details = {}) {
      super(message);
      this.name = "LumoraError";
      this.code = details.code;               // the JSON-RPC error code
      this.number = details.number;           // the automation error number, as script's Err.Number
      this.description = details.description === undefined ? message : details.description;
      this.source = details.source || "";
    }
  }

  function pad(n, width = 2) {
    return String(n).padStart(width, "0");
  }

  // Dates cross as civil local time: the page's clock and the control's agree on the wall time.
  function encodeDate(date) {
    return {
      $date: `${pad(date.getFullYear(), 4)}-${pad(date.getMonth() + 1)}-${pad(date.getDate())}` +
        `T${pad(date.getHours())}:${pad(date.getMinutes())}:${pad(date.getSeconds())}`,
    };
  }

  function decodeDate(text) {
    const m = /^(\d{4})-(\d{2})-(\d{2})(?:T(\d{2}):(\d{2})(?::(\d{2}))?)?$/.exec(text);
    if (!m) return text;
    return new Date(+m[1], +m[2] - 1, +m[3], +(m[4] || 0), +(m[5] || 0), +(m[6] || 0));
  }

  function serializeXml(value) {
    if (typeof value === "string") return value;
    if (global.XMLSerializer && value && typeof value === "object" && "nodeType" in value) {
      return new XMLSerializer().serializeToString(value);
    }
    throw new TypeError("Lumora.xml needs an XML document, an XML node or XML text");
  }

  // The page's HTML as the control reads it: what the user has typed or chosen in the form
  // fields, not only what the markup said when the page loaded.
  function serializeHtml(doc) {
    if (typeof doc === "string") return doc;
    if (!doc || !doc.documentElement) throw new TypeError("Lumora.html needs an HTML document");
    const live = doc.documentElement;
    const copy = live.cloneNode(true);
    const liveFields = live.querySelectorAll("input, textarea, select");
    const copiedFields = copy.querySelectorAll("input, textarea, select");
    liveFields.forEach((field, i) => {
      const target = copiedFields[i];
      if (!target) return;
      const tag = field.tagName.toLowerCase();
      if (tag === "textarea") {
        target.textContent = field.value;
      } else if (tag === "select") {
        Array.from(field.options).forEach((option, j) => {
          if (option.selected) target.options[j].setAttribute("selected", "");
          else target.options[j].removeAttribute("selected");
        });
      } else if (field.type === "checkbox" || field.type === "radio") {
        if (field.checked) target.setAttribute("checked", "");
        else target.removeAttribute("checked");
      } else if (field.type !== "password" && field.type !== "file") {
        target.setAttribute("value", field.value);
      }
    });
    const doctype = doc.doctype ? `<!DOCTYPE ${doc.doctype.name}>` : "";
    return doctype + copy.outerHTML;
  }

  function isXmlDocument(value) {
    return global.XMLDocument && value instanceof XMLDocument;
  }

  function isHtmlDocument(value) {
    return global.HTMLDocument && value instanceof HTMLDocument;
  }

  function isEncoded(value) {
    const keys = Object.keys(value);
    return keys.length > 0 && keys.every((key) => key.startsWith("$"));
  }

  function encode(value) {
    if (value === undefined) return { $missing: true };
    if (value === null || typeof value === "string" || typeof value === "boolean") return value;
    if (typeof value === "number") {
      if (Number.isNaN(value)) return { $r8: "NaN" };
      if (!Number.isFinite(value)) return { $r8: value > 0 ? "Infinity" : "-Infinity" };
      return value;
    }
    if (typeof value === "bigint") return Number(value);
    if (Array.isArray(value)) return value.map(encode);
    if (value instanceof Date) return encodeDate(value);
    if (value[PROXY_ID] !== undefined) return { $object: value[PROXY_ID] };
    if (isHtmlDocument(value)) return { $html: serializeHtml(value) };
    if (isXmlDocument(value)) return { $xml: serializeXml(value) };
    if (typeof value === "object" && isEncoded(value)) return value;
    throw new TypeError("Lumora cannot pass this value to a control: " + Object.prototype.toString.call(value));
  }

  // ---- the connection -------------------------------------------------------------------------

  function defaultUrl() {
    const script = global.document && global.document.currentScript;
    const base = script && script.src ? new URL(script.src) : new URL(global.location.href);
    return `${base.protocol === "https:" ? "wss:" : "ws:"}//${base.host}/rpc`;
  }
  const scriptUrl = (() => {
    try {
      return defaultUrl();
    } catch (e) {
      return "ws://127.0.0.1:8765/rpc";
    }
  })();

  class Connection {
    constructor(url, options = {}) {
      this.url = url || scriptUrl;
      this.ui = Object.assign({}, defaultUi, options.ui || {});
      this.onclose = options.onclose || null;
      // Told of every request once it is answered: {method, progId, member, args, result | error,
      // milliseconds}, with args and result as they crossed the wire.
      this.onCall = options.onCall || null;
      this._pending = new Map();
      this._nextId = 1;
      this._closed = false;
      this._socket = new WebSocket(this.url);
      this._opened = new Promise((resolve, reject) => {
        this._socket.addEventListener("open", () => resolve());
        this._socket.addEventListener("error", () =>
          reject(new LumoraError(`Cannot reach the Lumora bridge at ${this.url}`)));
      });
      // A refused connection would otherwise surface as an unhandled rejection before any call.
      this._opened.catch(() => {});
      this._socket.addEventListener("message", (event) => this._receive(event.data));
      this._socket.addEventListener("close", (event) => this._closedByBridge(event));
    }

    // The bridge is reachable and the page may call.
    ready() {
      return this._opened.then(() => this);
    }

    async create(progId) {
      const answer = await this.request("create", { progId });
      return this._proxy(answer.object);
    }

    close() {
      this._socket.close(1000);
    }

    // The general call: member by name, arguments in the value encoding; answers {result, byref}
    // with the final values of by-reference arguments.
    async invoke(objectId, member, args = [], named = undefined) {
      const params = { object: objectId, member, args: args.map(encode) };
      if (named) params.named = Object.fromEntries(Object.entries(named).map(([k, v]) => [k, encode(v)]));
      const answer = await this.request("call", params);
      return { result: this._decode(answer.result), byref: (answer.byref || []).map((v) => this._decode(v)) };
    }

    async request(method, params) {
      await this._opened;
      if (this._closed) throw new LumoraError("The connection to the Lumora bridge is closed");
      const id = this._nextId++;
      // The id goes first: a bridge that has to refuse a message too big to read can still say
      // which call it refuses.
      const text = JSON.stringify({ id, jsonrpc: "2.0", method, params });
      const answer = new Promise((resolve, reject) => {
        this._pending.set(id, { resolve, reject });
        this._socket.send(text);
      });
      return this.onCall ? this._reported(answer, method, params) : answer;
    }

    async _reported(answer, method, params) {
      const started = performance.now();
      const entry = { method, progId: params.progId, member: params.member, args: params.args || [] };
      const report = () => {
        entry.milliseconds = Math.round(performance.now() - started);
        try {
          this.onCall(entry);
        } catch (e) {
          console.error("Lumora onCall handler failed:", e);
        }
      };
      try {
        const result = await answer;
        entry.result = result && "result" in result ? result.result : result;
        report();
        return result;
      } catch (error) {
        entry.error = error;
        report();
        throw error;
      }
    }

    _notify(method, params) {
      if (this._closed || this._socket.readyState !== WebSocket.OPEN) return;
      this._socket.send(JSON.stringify({ jsonrpc: "2.0", method, params }));
    }

    _reply(id, result) {
      if (this._closed || this._socket.readyState !== WebSocket.OPEN) return;
      this._socket.send(JSON.stringify({ jsonrpc: "2.0", id, result }));
    }

    _receive(text) {
      let message;
      try {
        message = JSON.parse(text);
      } catch (e) {
        return;
      }
      if (message.method === undefined) return this._settle(message);
      if (message.id !== undefined) return this._answerRequest(message);
      this._notification(message.method, message.params || {});
    }

    _settle(message) {
      const pending = this._pending.get(message.id);
      if (!pending) {
        if (message.error) console.warn("Lumora bridge:", message.error.message);
        return;
      }
      this._pending.delete(message.id);
      if (message.error) {
        const data = message.error.data || {};
        // A member's own failure reads as its description, as script's Err.Description does; the
        // bridge's refusals keep their message, which says what to change.
        const text = message.error.code === AUTOMATION_ERROR && data.description ? data.description : message.error.message;
        pending.reject(new LumoraError(text, {
          code: message.error.code, number: data.number, description: data.description, source: data.source,
        }));
      } else {
        pending.resolve(message.result);
      }
    }

    async _answerRequest(message) {
      if (message.method !== "messageBox") {
        // A question this page does not know: say so rather than leave the call waiting.
        if (!this._closed && this._socket.readyState === WebSocket.OPEN) {
          this._socket.send(JSON.stringify({ jsonrpc: "2.0", id: message.id,
                                             error: { code: -32601, message: `Method not found: ${message.method}` } }));
        }
        return;
      }
      let button;
      try {
        button = await this.ui.messageBox(message.params, this);
      } catch (e) {
        button = undefined;
      }
      this._reply(message.id, { button: Number(button) });
    }

    _notification(method, params) {
      const handlers = {
        "window.open": () => this.ui.openWindow(params, this),
        "window.update": () => this.ui.updateWindow(params, this),
        "window.close": () => this.ui.closeWindow(params, this),
        "show": () => this.ui.show(params, this),
        "item.open": () => this.ui.openItem(params, this),
        "item.close": () => this.ui.closeItem(params, this),
        "call.state": () => this.ui.callState(params, this),
      };
      if (handlers[method]) {
        try {
          handlers[method]();
        } catch (e) {
          console.error("Lumora UI handler failed:", e);
        }
      }
    }

    // An item window's Save: the fields given (name -> text) are set and the item saved; answers
    // the window as it now stands ({item, kind, title, entryId, fields}).
    saveItem(itemId, fields) {
      return this.request("item.save", { item: itemId, fields });
    }

    // An item window closed by its person: the item is let go, unsaved changes with it.
    closeItem(itemId) {
      return this.request("item.close", { item: itemId });
    }

    // A button of a window the bridge opened was pressed.
    click(windowId, control) {
      this._notify("click", { window: windowId, control });
    }

    _closedByBridge(event) {
      this._closed = true;
      const error = new LumoraError(`The connection to the Lumora bridge closed (${event.code})`);
      for (const pending of this._pending.values()) pending.reject(error);
      this._pending.clear();
      if (this.ui.disconnected) this.ui.disconnected(this);
      if (this.onclose) this.onclose(event);
    }

    _decode(value) {
      if (Array.isArray(value)) return value.map((v) => this._decode(v));
      if (value === null || typeof value !== "object") return value;
      if ("$object" in value) return value.$object === null ? null : this._proxy(value.$object);
      if ("$i2" in value) return value.$i2;
      if ("$i4" in value) return value.$i4;
      if ("$r8" in value) return Number(value.$r8);
      if ("$date" in value) return decodeDate(value.$date);
      if ("$empty" in value || "$missing" in value) return undefined;
      if ("$xml" in value) return value.$xml;
      if ("$html" in value) return value.$html;
      if ("$array" in value) {
        const items = this._decode(value.$array);
        items.lbound = value.$lbound;
        return items;
      }
      return value;
    }

    _proxy(id) {
      const connection = this;
      const handle = {
        [PROXY_ID]: id,
        $id: id,
        // Full form: {result, byref} and named arguments.
        $call: (member, args = [], named) => connection.invoke(id, member, args, named),
        $get: async (member, ...args) =>
          connection._decode((await connection.request("get", { object: id, member, args: args.map(encode) })).result),
        $put: async (member, value, ...args) => {
          await connection.request("put", { object: id, member, value: encode(value), args: args.map(encode) });
        },
        $release: () => connection.request("release", { object: id }),
      };
      return new Proxy(handle, {
        get(target, name) {
          if (name in target) return target[name];
          // Not a thenable: `await proxy` must give the proxy, not call a member named "then".
          if (typeof name === "symbol" || name === "then" || name === "toJSON") return undefined;
          return async (...args) => {
            let named;
            if (args.length && args[args.length - 1] && args[args.length - 1][NAMED]) named = args.pop()[NAMED];
            return (await connection.invoke(id, name, args, named)).result;
          };
        },
      });
    }
  }

  // ---- default UI: modal dialogs in the page --------------------------------------------------

  const BUTTON_SETS = {
    0: [[1, "OK"]],
    1: [[1, "OK"], [2, "Cancel"]],
    2: [[3, "Abort"], [4, "Retry"], [5, "Ignore"]],
    3: [[6, "Yes"], [7, "No"], [2, "Cancel"]],
    4: [[6, "Yes"], [7, "No"]],
    5: [[4, "Retry"], [2, "Cancel"]],
    6: [[2, "Cancel"], [10, "Try Again"], [11, "Continue"]],
  };
  const ICONS = { 16: ["\u26D4", "Error"], 32: ["?", "Question"], 48: ["\u26A0", "Warning"], 64: ["\u2139", "Information"] };

  const STYLE = `
.lumora-dialog { border: 1px solid #8a94a6; border-radius: 6px; padding: 0; min-width: 320px; max-width: 560px;
  font: 14px system-ui, sans-serif; color: #1d2433; box-shadow: 0 12px 32px rgba(20, 30, 50, .28); }
.lumora-dialog::backdrop { background: rgba(20, 30, 50, .35); }
.lumora-dialog header { background: #eef1f6; padding: 8px 14px; font-weight: 600; border-bottom: 1px solid #d5dbe5; }
.lumora-dialog .lumora-body { padding: 16px; display: flex; gap: 12px; align-items: flex-start; }
.lumora-dialog .lumora-icon { font-size: 22px; line-height: 1; }
.lumora-dialog .lumora-text { white-space: pre-wrap; overflow-wrap: anywhere; }
.lumora-dialog footer { padding: 10px 14px; display: flex; gap: 8px; justify-content: flex-end; background: #f7f8fa; }
.lumora-dialog button { min-width: 84px; padding: 5px 12px; font: inherit; }
.lumora-window .lumora-body { flex-direction: column; gap: 6px; }
.lumora-window .lumora-label:empty { display: none; }
.lumora-window .lumora-label.lumora-error { color: #a3261b; }
.lumora-window .lumora-label.lumora-bordered { border: 1px solid #8a94a6; padding: 4px 6px; white-space: pre-wrap; overflow-wrap: anywhere; }
.lumora-item { position: fixed; inset: 10vh 2vw auto auto; margin: 0; z-index: 10; }
.lumora-item .lumora-body { display: grid; grid-template-columns: max-content 1fr; gap: 6px 10px; }
.lumora-item .lumora-body input, .lumora-item .lumora-body textarea { font: inherit; min-width: 240px; }
.lumora-item .lumora-html { min-width: 360px; height: 220px; border: 1px solid #c8cdd4; background: #fff; }
.lumora-item .lumora-status { grid-column: 1 / -1; min-height: 1.2em; color: #2d6a2e; }
.lumora-item .lumora-status.lumora-error { color: #a3261b; }
.lumora-toasts { position: fixed; right: 16px; bottom: 16px; display: flex; flex-direction: column; gap: 8px;
  z-index: 2147483647; font: 14px system-ui, sans-serif; }
.lumora-toast { background: #1d2433; color: #fff; border-radius: 6px; padding: 10px 14px; max-width: 360px;
  box-shadow: 0 6px 18px rgba(0, 0, 0, .25); display: flex; gap: 10px; align-items: baseline; }
.lumora-toast a { color: #9cc3ff; }
.lumora-toast button { background: none; border: 0; color: #c8cfdb; cursor: pointer; font-size: 16px; }
`;

  function installStyle() {
    if (installStyle.done || !global.document) return;
    installStyle.done = true;
    // A constructed sheet is not inline markup, so pages with a strict Content-Security-Policy
    // still get the dialogs' look.
    try {
      const sheet = new CSSStyleSheet();
      sheet.replaceSync(STYLE);
      document.adoptedStyleSheets = [...document.adoptedStyleSheets, sheet];
    } catch (e) {
      const element = document.createElement("style");
      element.textContent = STYLE;
      document.head.appendChild(element);
    }
  }

  function element(tag, className, text) {
    const node = document.createElement(tag);
    if (className) node.className = className;
    // Texts from controls are always shown as text, never as markup.
    if (text !== undefined) node.textContent = text;
    return node;
  }

  function makeDialog(className, title) {
    installStyle();
    const dialog = element("dialog", "lumora-dialog " + className);
    dialog.appendChild(element("header", "", title));
    const body = element("div", "lumora-body");
    const footer = element("footer");
    dialog.append(body, footer);
    document.body.appendChild(dialog);
    return { dialog, body, footer };
  }

  const openBoxes = new Set();
  // A window label's caption and look: a height of its own (in twips, 15 to a pixel) and a border.
  const showLabel = (node, label) => {
    node.textContent = label.caption;
    node.style.minHeight = label.heightTwips ? `${Math.round(label.heightTwips / 15)}px` : "";
    node.classList.toggle("lumora-bordered", Boolean(label.bordered));
  };
  const openWindows = new Map();  // window id -> {dialog, labels, buttons}
  const openItems = new Map();    // item window id -> dialog

  function buttonsOf(code) {
    return BUTTON_SETS[code & 0xF] || BUTTON_SETS[0];
  }

  function dismissAnswer(buttons) {
    for (const preferred of [2, 7, 3]) if (buttons.some(([id]) => id === preferred)) return preferred;
    return buttons[0][0];
  }

  const defaultUi = {
    // Resolves to the code of the button the user pressed.
    messageBox(request) {
      const code = Number(request.buttons) || 0;
      const buttons = buttonsOf(code);
      const { dialog, body, footer } = makeDialog("lumora-message", request.title || "Lumora");
      const icon = ICONS[code & 0x70];
      if (icon) {
        const mark = element("span", "lumora-icon", icon[0]);
        mark.setAttribute("aria-label", icon[1]);
        body.appendChild(mark);
      }
      body.appendChild(element("div", "lumora-text", request.text));
      const defaultIndex = Math.min((code >> 8) & 0x3, buttons.length - 1);
      return new Promise((resolve) => {
        const finish = (answer) => {
          openBoxes.delete(finish);
          dialog.close();
          dialog.remove();
          resolve(answer);
        };
        openBoxes.add(finish);
        buttons.forEach(([id, caption], i) => {
          const button = element("button", "", caption);
          button.type = "button";
          button.dataset.button = String(id);
          button.addEventListener("click", () => finish(id));
          footer.appendChild(button);
          if (i === defaultIndex) setTimeout(() => button.focus());
        });
        // Escape answers like the close box: Cancel where there is one; otherwise it does nothing.
        dialog.addEventListener("cancel", (event) => {
          event.preventDefault();
          if (buttons.some(([id]) => id === 2)) finish(2);
        });
        dialog.showModal();
      });
    },

    openWindow(windowSpec, connection) {
      const { dialog, body, footer } = makeDialog("lumora-window", windowSpec.caption || windowSpec.name);
      dialog.dataset.window = windowSpec.name;
      const labels = new Map();
      const buttons = new Map();
      for (const label of windowSpec.labels || []) {
        const node = element("div", "lumora-label", label.caption);
        node.dataset.name = label.name;
        if (/error/i.test(label.name)) node.classList.add("lumora-error");
        showLabel(node, label);
        labels.set(label.name, node);
        body.appendChild(node);
      }
      for (const buttonSpec of windowSpec.buttons || []) {
        const button = element("button", "", buttonSpec.caption);
        button.type = "button";
        button.dataset.name = buttonSpec.name;
        button.disabled = !buttonSpec.enabled;
        button.hidden = !buttonSpec.visible;
        button.addEventListener("click", () => connection.click(windowSpec.window, buttonSpec.name));
        buttons.set(buttonSpec.name, button);
        footer.appendChild(button);
      }
      // A modal window closes when the control closes it, never by Escape.
      dialog.addEventListener("cancel", (event) => event.preventDefault());
      if (windowSpec.heightTwips) dialog.style.minHeight = `${Math.round(windowSpec.heightTwips / 15)}px`;
      openWindows.set(windowSpec.window, { dialog, labels, buttons });
      dialog.showModal();
    },

    updateWindow(update) {
      const window_ = openWindows.get(update.window);
      if (!window_) return;
      if (update.caption !== undefined) window_.dialog.querySelector("header").textContent = update.caption;
      for (const label of update.labels || []) {
        const node = window_.labels.get(label.name);
        if (node) showLabel(node, label);
      }
      for (const state of update.buttons || []) {
        const button = window_.buttons.get(state.name);
        if (!button) continue;
        button.textContent = state.caption;
        button.disabled = !state.enabled;
        button.hidden = !state.visible;
      }
      if (update.heightTwips) window_.dialog.style.minHeight = `${Math.round(update.heightTwips / 15)}px`;
    },

    closeWindow(request) {
      const window_ = openWindows.get(request.window);
      if (!window_) return;
      openWindows.delete(request.window);
      window_.dialog.close();
      window_.dialog.remove();
    },

    // An item or a document handed to the user: a notice with a link to the produced file.
    show(item) {
      installStyle();
      let tray = document.querySelector(".lumora-toasts");
      if (!tray) {
        tray = element("div", "lumora-toasts");
        tray.setAttribute("role", "status");
        document.body.appendChild(tray);
      }
      const toast = element("div", "lumora-toast");
      toast.dataset.kind = item.kind;
      toast.appendChild(element("span", "", `${item.kind}: ${item.title || item.file || ""}`));
      if (item.link) {
        const link = element("a", "", "Open");
        link.href = item.link;
        link.target = "_blank";
        link.rel = "noopener noreferrer";
        toast.appendChild(link);
      }
      const close = element("button", "", "\u00D7");
      close.setAttribute("aria-label", "Dismiss");
      close.addEventListener("click", () => toast.remove());
      toast.appendChild(close);
      tray.appendChild(toast);
    },

    // An item opened for its person: a form of its fields that stays open beside the page, with
    // Save and Close acting on the real item through the bridge.
    openItem(window_, connection) {
      const { dialog, body, footer } = makeDialog("lumora-item", `${window_.kind}: ${window_.title || "(new)"}`);
      dialog.dataset.item = String(window_.item);
      dialog.dataset.kind = window_.kind;
      const inputs = new Map();
      for (const field of window_.fields || []) {
        const label = element("label", "", field.name);
        if (field.kind === "html") {
          // An HTML body as it reads: no script runs in it, and the page's own policy keeps it
          // from loading anything from elsewhere.
          const view = element("iframe", "lumora-html");
          view.setAttribute("sandbox", "");
          view.srcdoc = field.value;
          view.dataset.field = field.name;
          view.title = field.name;
          body.append(label, view);
          continue;
        }
        const input = field.kind === "multiline" ? element("textarea") : element("input");
        if (field.kind === "date") Object.assign(input, { type: "datetime-local", step: 1 });
        if (field.kind === "number") input.type = "number";
        if (field.kind === "flag") input.type = "checkbox";
        if (field.kind === "flag") input.checked = field.value === "true";
        else input.value = field.value;
        input.disabled = field.readOnly;
        input.dataset.field = field.name;
        label.htmlFor = input.id = `lumora-item-${window_.item}-${field.name}`;
        body.append(label, input);
        if (!field.readOnly) inputs.set(field.name, { input, kind: field.kind, value: field.value });
      }
      const status = element("div", "lumora-status");
      status.setAttribute("role", "status");
      body.appendChild(status);
      const textOf = ({ input, kind }) => kind === "flag" ? String(input.checked) : input.value;
      const save = element("button", "", "Save");
      save.type = "button";
      save.dataset.name = "save";
      save.addEventListener("click", async () => {
        const fields = {};
        for (const [name, field] of inputs) if (textOf(field) !== field.value) fields[name] = textOf(field);
        try {
          const saved = await connection.saveItem(window_.item, fields);
          for (const [name, field] of inputs) field.value = textOf(field);
          dialog.querySelector("header").textContent = `${saved.kind}: ${saved.title}`;
          dialog.dataset.entryId = saved.entryId;
          status.classList.remove("lumora-error");
          status.textContent = "Saved";
          document.dispatchEvent(new CustomEvent("lumora-item-saved", { detail: saved }));
        } catch (error) {
          status.classList.add("lumora-error");
          status.textContent = error.message;
        }
      });
      const close = element("button", "", "Close");
      close.type = "button";
      close.dataset.name = "close";
      close.addEventListener("click", () => {
        defaultUi.closeItem({ item: window_.item });
        connection.closeItem(window_.item).catch(() => {});
      });
      footer.append(save, close);
      openItems.set(window_.item, dialog);
      dialog.show();
    },

    closeItem(request) {
      const dialog = openItems.get(request.item);
      if (!dialog) return;
      openItems.delete(request.item);
      dialog.close();
      dialog.remove();
    },

    // A phone call's progress ({call, line, number, state, reason?, seconds?, notice?}). Pages that
    // show calls install their own; by default only a line's notice reaches the person, as a toast.
    callState(report) {
      if (report.notice) defaultUi.show({ kind: "Phone line", title: report.notice });
    },

    // The bridge went away: open dialogs can no longer be answered.
    disconnected() {
      for (const id of [...openItems.keys()]) defaultUi.closeItem({ item: id });
      for (const finish of [...openBoxes]) finish(undefined);
      for (const id of [...openWindows.keys()]) defaultUi.closeWindow({ window: id });
    },
  };

  // ---- the public face ------------------------------------------------------------------------

  const Lumora = {
    // A connection to the bridge; url defaults to the bridge that served this script.
    connect(url, options) {
      return new Connection(url, options);
    },
    Error: LumoraError,
    defaultUi,
    buttonsOf: (code) => buttonsOf(code).map(([id, caption]) => ({ id, caption })),
    dismissAnswer: (code) => dismissAnswer(buttonsOf(code)),
    // Values whose automation type matters.
    i2: (n) => ({ $i2: n }),
    i4: (n) => ({ $i4: n }),
    r8: (n) => ({ $r8: n }),
    date: (d) => encodeDate(d),
    empty: () => ({ $empty: true }),
    missing: () => ({ $missing: true }),
    // The page's XML (a document, a node or text) and the page's HTML document for members
    // that read them (xmlDoc, oHTMLDoc).
    xml: (docOrText) => ({ $xml: serializeXml(docOrText) }),
    html: (doc) => ({ $html: serializeHtml(doc || global.document) }),
    // Named arguments, given last: ctl.SaveAs(Lumora.named({FileName: path, FileFormat: 8})).
    named: (values) => ({ [NAMED]: values }),
  };

  global.Lumora = Lumora;
})(typeof window !== "undefined" ? window : globalThis);
