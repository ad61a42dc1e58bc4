// The Contacts panel's synchronisation: contacts imported from a PIM folder, the contacts,
// appointments and tasks the CRM does not hold yet (each marked once it does), and where the
// contact of a CRM id lives, or its link undone.
"use strict";

LumoraDemo.panels.push(() => {
  outlookImport({
    prefix: "contact", output: "contact-import-result", noun: "contact",
    members: {
      folderList: "GetContactFolderList",
      // "import" leaves out the subfolders without contacts; any other value lists them all.
      listFolders: () => ($("contact-folders-import").checked ? control.GetContactFolderList("import")
                                                               : control.GetContactFolderList()),
      items: "GetFolderContactItems", itemTitle: "Full name", details: "ImportContact",
    },
    detailNames: ["Title", "First name", "Last name", "Job title", "Department", "E-mail", "Business phone", "Business fax",
                  "Mobile", "Entry id", "Folder entry id", "Business street 1", "Business street 2", "Business street 3",
                  "Business city", "Business postcode", "Business state", "Business country", "Home street 1",
                  "Home street 2", "Home street 3", "Home city", "Home postcode", "Home state", "Home country"],
  });

  const scan = unsyncedItems("unsynced");
  action("unsynced-contacts", "unsynced-result", () => scan("contacts", $("unsynced-folder").value));
  action("unsynced-appts", "unsynced-result", () => scan("appointments"));
  action("unsynced-tasks", "unsynced-result", () => scan("tasks"));

  // The link of a CRM id. CheckIfSynchronised answers where the item lives, "false" when none
  // carries the id, and "unknown" when it could not look.
  const crmId = () => $("sync-crm-id").value;
  const whereOutcome = (where, type) => {
    if (where === "unknown") return failure("The control could not look (unknown)");
    if (where === "false") return success(`No ${type} carries CRM id ${crmId()} (false)`);
    return success(String(where));
  };
  action("check-synchronised", "sync-result", async () => {
    const type = $("sync-item-type").value;
    return whereOutcome(await control.CheckIfSynchronised(crmId(), type), type);
  });

  // RemoveContact answers its success text whether or not a contact carried the id, so the
  // contact's link is looked up before and after to tell what it did.
  const REMOVED = { true: "The associated Outlook contact was successfully deleted from",
                    false: "The contact was successfully unsynchronized from its associated Outlook Contact" };
  action("remove-contact", "sync-result", async () => {
    const removing = $("remove-delete").checked;
    const before = await control.CheckIfSynchronised(crmId(), "contact");
    const told = await control.RemoveContact(crmId(), removing);
    if (told !== REMOVED[removing]) return failure(String(told));
    const after = await control.CheckIfSynchronised(crmId(), "contact");
    if (before === "false") return unknown(`${told}; but no contact carried CRM id ${crmId()}, so nothing changed`);
    if (after !== "false") return failure(`${told}; but a contact still carries CRM id ${crmId()}: ${after}`);
    return success(`${told}: ${before}`);
  });
});
