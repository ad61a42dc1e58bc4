#include "pim_history_commands.hpp"

#include <charconv>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <set>

#include "Automation/registry.hpp"
#include "Automation/top_level_call.hpp"
#include "Host/accounts/local_time_text.hpp"
#include "Platform/Outlook/pim_store.hpp"
#include "Platform/Outlook/store_history.hpp"
#include "Platform/Outlook/store_trash.hpp"
#include "command_words.hpp"
#include "commands.hpp"

namespace lumora::host::cli {

namespace {

using pim::PimStore;

int64_t positiveNumber(const std::string& command, const std::string& what, const std::string& text) {
    int64_t number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < 0)
        throw UsageError(command + ": " + what + " must be a whole number, not '" + text + "'");
    return number;
}

std::string plural(int64_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// What a command found, printed once its call's work is durable.
struct Outcome {
    std::vector<std::string> lines;
    bool didSomething = true;
};

// Runs the work in one top-level call named after the command line, then makes sure the call's
// transaction was committed before anything is said about it.
int runInCall(const CliOptions& options, const std::vector<std::string>& args,
              const std::function<Outcome(PimStore&)>& work) {
    prepareHost(options, false);
    std::shared_ptr<PimStore> store = PimStore::shared(Registry::instance().dataFolder());
    std::string what = "lumora pim";
    for (const std::string& arg : args) what += " " + arg;
    Outcome outcome;
    {
        const TopLevelCall call(what);
        outcome = work(*store);
    }
    store->raiseLostCommit();
    for (const std::string& line : outcome.lines) std::cout << line << '\n';
    std::cout.flush();
    return outcome.didSomething ? kExitOk : kExitFailed;
}

std::string entryLine(const pim::HistoryEntry& entry) {
    std::string line = std::to_string(entry.id) + "  " + localTimeText(entry.at) + "  created " +
                       std::to_string(entry.created) + ", changed " + std::to_string(entry.changed) + ", moved " +
                       std::to_string(entry.moved) + ", removed " + std::to_string(entry.removed) + "  " + entry.what;
    if (entry.undoes != 0) line += "  (undoes " + std::to_string(entry.undoes) + ")";
    return line;
}

int runHistory(const CliOptions& options, const std::vector<std::string>& args) {
    const CommandWords read = readWords("pim history", args, {"--limit", "--item"}, {"--prune"});
    if (!read.words.empty()) throw UsageError("pim history takes only --limit N, --item ENTRYID and --prune");
    pim::HistoryQuery query;
    if (auto limit = read.value("--limit")) query.limit = positiveNumber("pim history", "--limit", *limit);
    query.itemEntryId = read.value("--item");
    const bool prune = read.flags.contains("--prune");
    return runInCall(options, args, [&](PimStore& store) {
        // The prune commits on its own; the listing is read only, and printed as it is read.
        if (prune) std::cout << "pruned " << plural(pim::pruneJournal(store.statements(), pim::JournalBounds{}, false),
                                                    "entry", "entries") << '\n';
        bool any = false;
        pim::forEachHistoryEntry(store, query, [&](const pim::HistoryEntry& entry) {
            std::cout << entryLine(entry) << '\n';
            any = true;
        });
        if (!any) std::cout << "no entries\n";
        return Outcome{};
    });
}

std::string skipLine(const pim::UndoSkip& skip) {
    using Reason = pim::UndoSkip::Reason;
    switch (skip.reason) {
    case Reason::TouchedLater:
        return "left alone, entry " + std::to_string(skip.laterEntry) + " touched it again (--force undoes it anyway): " +
               skip.entryId;
    case Reason::RemovedForGood: return "removed for good, cannot come back: " + skip.entryId;
    case Reason::Gone: return "no longer exists: " + skip.entryId;
    case Reason::FolderGone: return "its earlier folder no longer exists, left where it is: " + skip.entryId;
    }
    return skip.entryId;
}

int runUndo(const CliOptions& options, const std::vector<std::string>& args) {
    const CommandWords read = readWords("pim undo", args, {}, {"--force"});
    if (read.words.size() != 1) throw UsageError("pim undo needs the number of one history entry");
    const int64_t entry = positiveNumber("pim undo", "the entry", read.words[0]);
    const bool force = read.flags.contains("--force");
    return runInCall(options, args, [&](PimStore& store) {
        const pim::UndoResult result = pim::undoEntry(store, entry, force);
        Outcome outcome;
        outcome.didSomething = result.putBack > 0;
        outcome.lines.push_back(outcome.didSomething
                                    ? "undid entry " + std::to_string(entry) + " as entry " + std::to_string(result.entry) +
                                          ": " + plural(result.putBack, "item", "items") + " put back"
                                    : "nothing of entry " + std::to_string(entry) + " was undone");
        for (const pim::UndoSkip& skip : result.skipped) outcome.lines.push_back(skipLine(skip));
        return outcome;
    });
}

std::string trashLine(const pim::TrashItem& item) {
    const std::string from = !item.cameFrom.empty() ? item.cameFrom
                             : item.cameFromGone   ? "a removed folder"
                                                   : "an unknown folder";
    const std::string when = item.deletedAt != 0 ? localTimeText(item.deletedAt) : "at an unknown time";
    return item.entryId + "  " + std::string(pim::showKindOf(item.itemClass)) + "  \"" + item.name + "\"  from " + from +
           "  deleted " + when + "  mailbox " + item.mailbox;
}

int runTrash(const CliOptions& options, const std::vector<std::string>& args) {
    const CommandWords read = readWords("pim trash", args, {"--older-than"}, {});
    const std::string action = read.words.empty() ? std::string() : read.words[0];
    if (action == "list" && read.words.size() == 1 && read.values.empty()) {
        return runInCall(options, args, [](PimStore& store) {
            Outcome outcome;
            for (const pim::TrashItem& item : pim::listTrash(store)) outcome.lines.push_back(trashLine(item));
            if (outcome.lines.empty()) outcome.lines.push_back("Deleted Items is empty");
            return outcome;
        });
    }
    if (action == "restore" && read.words.size() > 1 && read.values.empty()) {
        const std::vector<std::string> entryIds(read.words.begin() + 1, read.words.end());
        return runInCall(options, args, [&](PimStore& store) {
            const pim::RestoreResult result = pim::restoreFromTrash(store, entryIds);
            Outcome outcome;
            for (const auto& restored : result.restored)
                outcome.lines.push_back("restored " + restored.entryId + " to " + restored.folder);
            for (const std::string& entryId : result.unknown) outcome.lines.push_back("no such item: " + entryId);
            for (const std::string& entryId : result.notInTrash) outcome.lines.push_back("not in Deleted Items: " + entryId);
            outcome.didSomething = !result.restored.empty();
            return outcome;
        });
    }
    if (action == "empty" && read.words.size() == 1) {
        std::optional<int64_t> olderThan;
        if (auto days = read.value("--older-than")) olderThan = positiveNumber("pim trash empty", "--older-than", *days);
        return runInCall(options, args, [&](PimStore& store) {
            return Outcome{{"removed " + plural(pim::emptyTrash(store, olderThan), "item", "items") + " for good"}};
        });
    }
    throw UsageError("pim trash needs one of: list | restore ENTRYID... | empty [--older-than DAYS]");
}

}  // namespace

bool isPimHistoryCommand(const std::vector<std::string>& args) {
    return !args.empty() && (args[0] == "history" || args[0] == "undo" || args[0] == "trash");
}

int runPimHistoryCommand(const CliOptions& options, const std::vector<std::string>& args) {
    if (args[0] == "history") return runHistory(options, args);
    if (args[0] == "undo") return runUndo(options, args);
    return runTrash(options, args);
}

}  // namespace lumora::host::cli
