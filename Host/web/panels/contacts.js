// The Address book panel: the person's contact folders and their contacts.
//
// Adding an action works as in calendar.js: inputs in #contacts-form, a button in
// #contacts-actions, wired in a function pushed onto LumoraDemo.panels; LumoraDemo.contacts
// offers refresh() and picked().
"use strict";

LumoraDemo.panels.push(async () => {
  LumoraDemo.contacts = pimBrowserPanel({ prefix: "contacts", itemType: 2, noun: "contact" });
  render("contacts-result", await LumoraDemo.contacts.refresh());
});
