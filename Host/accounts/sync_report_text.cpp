#include "sync_report_text.hpp"

namespace lumora::host {

namespace {

std::string conflictText(const sync::SyncConflict& conflict) {
    const std::string name = "\"" + conflict.subject + "\"";
    std::string text;
    switch (conflict.kind) {
    case sync::SyncConflict::Kind::ChangedOnBoth:
        text = name + " was changed here and on the server; the server's version is kept";
        break;
    case sync::SyncConflict::Kind::DeletedHereChangedThere:
        text = name + " was deleted here and changed on the server; the server's version is back";
        break;
    case sync::SyncConflict::Kind::ChangedHereDeletedThere:
        text = name + " was changed here and deleted on the server; yours is in Deleted Items";
        break;
    }
    if (conflict.journalEntry != 0)
        text += " (lumora pim undo " + std::to_string(conflict.journalEntry) + " brings yours back)";
    return text;
}

void collectionLines(const sync::CollectionSync& collection, const std::string& label,
                     std::vector<std::string>& lines) {
    const std::string prefix = "  " + label + ": ";
    const int32_t arrived = collection.created + collection.updated + collection.removed;
    lines.push_back(prefix + std::to_string(arrived) + " arrived (" + std::to_string(collection.created) + " new, " +
                    std::to_string(collection.updated) + " changed, " +
                    std::to_string(collection.removed) + " to Deleted Items); " +
                    std::to_string(collection.pushed) + " sent, " + std::to_string(collection.deleted) +
                    " deleted on the server");
    for (const sync::SkippedResource& skipped : collection.skipped)
        lines.push_back(prefix + "skipped " + skipped.href + ": " + skipped.reason);
    for (const sync::SyncConflict& conflict : collection.conflicts)
        lines.push_back(prefix + "conflict: " + conflictText(conflict));
    if (collection.failure) lines.push_back(prefix + "failed: " + collection.failure->description());
}

}  // namespace

std::vector<std::string> reportLines(const AccountSyncReport& report) {
    std::vector<std::string> lines;
    if (!report.result) {
        lines.push_back(report.account + ": " + (report.failed() ? report.error : "nothing to send"));
        return lines;
    }
    lines.push_back(report.account + ": " + (report.failed() ? report.error : "synced"));
    for (size_t i = 0; i < report.result->collections.size(); ++i)
        collectionLines(report.result->collections[i],
                        i < report.folderLabels.size() ? report.folderLabels[i] : report.result->collections[i].collectionUrl,
                        lines);
    return lines;
}

}  // namespace lumora::host
