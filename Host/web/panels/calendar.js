// The Calendar panel: the person's appointment folders and their appointments.
//
// Adding an action: put its inputs in #calendar-form and its button in #calendar-actions
// (index.html), then wire the button in a panel function pushed onto LumoraDemo.panels, e.g.
//
//   LumoraDemo.panels.push(() => action("calendar-new", "calendar-result", async () => {
//     const result = await control.NewAppointment($("calendar-account").value, ...);
//     await LumoraDemo.calendar.refresh();   // the list shows what the member changed
//     return result === "" ? success("The new appointment is open") : failure(String(result));
//   }));
//
// LumoraDemo.calendar.picked() gives the entry ids the person picked, in order.
"use strict";

LumoraDemo.panels.push(async () => {
  LumoraDemo.calendar = pimBrowserPanel({ prefix: "calendar", itemType: 1, noun: "appointment" });
  render("calendar-result", await LumoraDemo.calendar.refresh());
});
