// The Tasks panel: tasks imported from a PIM task folder, a task opened in its window by its
// entry id, and the tasks the CRM does not hold yet, each marked once it does.
"use strict";

LumoraDemo.panels.push(() => {
  const OPEN_FAILURES = {
    NoOutlook: "The PIM could not be reached (NoOutlook)",
    8: "The task could not be opened (8)",
  };

  // OpenTask answers "" once the task is shown; the page then holds its window.
  async function openTask(entryId) {
    if (!entryId) return failure("Pick a task or give its entry id first");
    const result = await control.OpenTask(entryId);
    if (result !== "") return failure(OPEN_FAILURES[result] || String(result));
    const shown = itemsShown.find((item) => item.kind === "task");
    return shown ? success(`The task "${shown.title}" is open in its window`)
                 : unknown("OpenTask answered success, but no task was shown");
  }

  outlookImport({
    prefix: "task", output: "task-result", noun: "task",
    members: {
      folderList: "GetTaskFolderList", listFolders: () => control.GetTaskFolderList(),
      items: "GetFolderTaskItems", itemTitle: "Subject", details: "ImportTask",
    },
    // A folder without tasks answers an empty list, not a failure.
    emptyListWorks: true,
    detailNames: ["Billing information", "Body", "Complete", "Date completed", "Due date", "Importance", "% complete",
                  "Sensitivity", "Start date", "Status", "Subject", "Team task", "Entry id", "Folder entry id"],
    itemActions: { open: ["OpenTask", (row) => openTask(row.entryId)] },
  });

  action("open-task", "task-open-result", () => openTask($("task-id").value));

  const scan = unsyncedItems("task-unsynced");
  action("task-unsynced-scan", "task-unsynced-result", () => scan("tasks"));
});
