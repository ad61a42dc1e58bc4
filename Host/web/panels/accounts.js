// The Team calendars panel: the groupware accounts the PIM syncs with, where each one's sync
// stands (last sync, changes waiting to be sent, last error), and a sync now whose lines say what
// arrived, what was sent, what was skipped and which conflicts the server won.
"use strict";

LumoraDemo.panels.push(() => {
  let pimSync = null;
  const syncObject = async () => (pimSync ??= await connection.create("Lumora.PimSync"));
  const list = $("accounts-list");

  // [name, server, user, state, status line, changes waiting, last sync, last error] per account.
  const showAccounts = (rows) => {
    list.replaceChildren(...rows.map(([name, server, user, state, status]) => {
      const row = document.createElement("li");
      row.dataset.account = name;
      row.dataset.state = state;
      row.append(`${name} — ${state}`);
      row.append(Object.assign(document.createElement("small"), { textContent: `${user} at ${server}; ${status}` }));
      return row;
    }));
  };

  // An account whose last sync failed is offline: its changes wait here, and the page says so.
  const accountsOutcome = (rows, lines) => {
    if (!rows.length) return unknown("No accounts: the PIM keeps everything on this computer (lumora pim account add)");
    const offline = rows.filter(([, , , state]) => state === "offline");
    if (offline.length) return failure(offline.map(([name, , , , , , , error]) => `${name}: ${error}`).join("\n"));
    return success(`${rows.length} account${rows.length === 1 ? "" : "s"} in sync`, lines);
  };

  const refresh = async () => {
    const rows = await (await syncObject()).Accounts();
    showAccounts(rows);
    return accountsOutcome(rows);
  };
  action("accounts-refresh", "accounts-result", refresh);
  action("accounts-sync", "accounts-result", async () => {
    const lines = await (await syncObject()).SyncNow();
    const rows = await (await syncObject()).Accounts();
    showAccounts(rows);
    // A failed sync's own lines name the account and its error first.
    const outcome = accountsOutcome(rows, lines);
    return outcome.kind === "failure" ? failure(lines.join("\n")) : outcome;
  });
  refresh().then((outcome) => render("accounts-result", outcome),
                 (error) => render("accounts-result", failure(errorText(error))));
});
