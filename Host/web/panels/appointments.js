// The Calendar panel's CRM actions: a new appointment linked to a CRM account, linking the
// appointment picked in the list (the explorer's selection) to an account, and opening an
// appointment by its entry id, or by entry id "@" user in a calendar another user shares.
"use strict";

LumoraDemo.panels.push(() => {
  const NOT_SIGN = "\u00AC";  // separates the parts of the account information
  const FIELDS = [
    ["calendar-account", "Account id", "ACC-1001"],
    ["calendar-subject", "Subject", "Account review"],
    ["calendar-location", "Location", "Head office"],
    ["calendar-server", "CRM server", "crm.example.com"],
    ["calendar-directory", "Virtual directory", "lumora"],
    ["calendar-reference", "Appointment id (empty: the first picked; id@user: a shared calendar)", ""],
  ];
  const form = $("calendar-form");
  form.append(...FIELDS.map(([id, caption, value]) => labelledInput(id, caption, value)));
  const actions = $("calendar-actions");
  for (const [id, caption] of [["calendar-new", "NewAppointment"], ["calendar-link", "AddAppointment"],
                               ["calendar-open-id", "OpenAppointment"]]) {
    actions.appendChild(Object.assign(document.createElement("button"), { type: "button", id, textContent: caption }));
  }

  const OPEN_FAILURES = {
    NoOutlook: "The PIM could not be reached (NoOutlook)",
    7: "The appointment could not be made (7)",
    9: "The appointment could not be opened (9)",
  };
  const accountInfo = () => [`ac_id=${$("calendar-account").value}`, `subject=${$("calendar-subject").value}`,
                             `location=${$("calendar-location").value}`].join(NOT_SIGN);

  action("calendar-new", "calendar-result", async () => {
    const result = await control.NewAppointment(accountInfo(), $("calendar-server").value, $("calendar-directory").value);
    if (result !== "") return failure(OPEN_FAILURES[result] || String(result));
    return success("The new appointment is open; it is stored when you save it in its window");
  });

  action("calendar-link", "calendar-result", async () => {
    const result = await control.AddAppointment($("calendar-account").value);
    await LumoraDemo.calendar.refresh();
    // Success is confirmed in a message box of its own; refusals are told the same way.
    if (result === "success") return success(boxesShown.map((box) => box.text).join("\n") || "success");
    return failureFromBoxes(failure(String(result)));
  });

  action("calendar-open-id", "calendar-result", async () => {
    const reference = $("calendar-reference").value || LumoraDemo.calendar.picked()[0];
    if (!reference) return failure("Pick an appointment or give its id first");
    const result = await control.OpenAppointment(reference);
    return result === "" ? success("The appointment is open in its window") : failure(OPEN_FAILURES[result] || String(result));
  });
});
