#pragma once
// What the contact import and the task import share: the import page asks for the folders of one
// kind, then for the items of one folder, then for one item's details, and splits each answer
// on "#~". The two imports differ only in the default folder they start from, the item class
// they list and the words of their messages, so both run through these routines.

#include <string>
#include <string_view>
#include <optional>
#include <vector>

#include "Automation/traps.hpp"
#include "Automation/typed_members.hpp"
#include "Platform/Outlook/item_kinds.hpp"
#include "control.hpp"
#include "failure_forms.hpp"
#include "outside_apps.hpp"
#include "private_operations.hpp"

namespace lumora::control {

// Every value of an import list is followed by this; values are never escaped.
inline constexpr std::string_view kImportDelimiter = "#~";

// Appends a value and its delimiter.
void appendValue(std::string& list, std::string_view value);

// The folders one import lists.
struct ImportFolders {
    pim::FolderType defaultFolder;      // the default folder the import starts from
    pim::ItemType listedItemType;       // a subfolder is listed when it holds items of this type
    std::string_view defaultFolderName;  // the fixed name the default folder is listed under
};

// Whether a subfolder without items is listed.
enum class EmptySubfolders { Listed, LeftOut };

// The folder list: the default folder under its fixed name with an empty entry id, then the
// name and entry id of each direct subfolder of the listed type. The page's own parser expects
// the last subfolder's delimiter cut to a single "#", and a list of the default folder alone
// to end after its name. `appended` receives each subfolder pair as it is read, so a failure
// part way leaves the pairs read so far.
std::string folderList(OutlookReferences& outlook, const ImportFolders& folders, EmptySubfolders empties,
                       std::string& appended);

// How a folder id given to an item list or an import is read. The item lists remove every "#"
// from it, since the folder list leaves a stray "#" after its last id, and the caller's
// variable receives the cleaned id as well; the imports take it as it is given.
enum class FolderIdForm { AsGiven, WithoutHashes };

// The folder an item list or an import reads: the parameter at `index` names it by entry id, or
// is empty for the default folder of the kind. DefaultFolder always becomes that default folder.
Object chosenFolder(OutlookReferences& outlook, pim::FolderType defaultFolder, Params& params, size_t index,
                    FolderIdForm form);

// One listed item: the name the list shows and its entry id.
struct ListedItem {
    std::string name;
    std::string entryId;
};

// What makes an item listed: its class, and a member that must not be empty.
struct ListedItems {
    pim::ItemClass itemClass;
    std::string_view requiredMember;  // LastName for contacts, Subject for tasks
    std::string_view nameMember;      // what the list shows: FullName, Subject
};

// The folder's listed items, in the folder's own order.
std::vector<ListedItem> listedItems(OutlookReferences& outlook, const Object& folder, const ListedItems& listed);

// The list of those items: name and entry id of each, in the order given.
std::string itemList(const std::vector<ListedItem>& items);

// The first of the folder's items, in the folder's own order, whose entry id is exactly
// `entryId`; Nothing when none is, so reading the item then fails as the import expects.
Object itemWithEntryId(OutlookReferences& outlook, const Object& folder, const std::string& entryId);

// Reaches Outlook and its namespace, as every import member does first; the error when either
// cannot be reached.
inline std::optional<Error> outlookUnreachable(OutlookReferences& outlook) {
    return tryLocal([&] {
        reachOutlook(outlook, OutlookWay::Create);
        openMapiNamespace(outlook);
    });
}

// The list members' frame: a failure to reach Outlook is told as "Outlook does not appear to be
// installed"; any later failure shows `laterMessage` OK-only. Either way the member returns
// the text `build` appended to its argument so far; `build` returns the whole result once it
// succeeds.
template <class Build>
Variant importListMember(ControlState& state, std::string_view laterMessage, Build&& build) {
    std::string built;
    if (auto error = outlookUnreachable(state.outlook)) return outlookNotInstalled(*error);
    return trapped([&]() -> Variant { return Variant(build(built)); },
                   [&](const Error&) {
                       tell(laterMessage);
                       return Variant(built);
                   });
}

// How one import finds and reads an item: the words of its later failure, the default folder,
// the step texts of its stages, and the reference that holds the item while it is read.
struct ItemImport {
    std::string_view laterMessage;
    pim::FolderType defaultFolder;
    std::string_view choosingFolder;
    std::string_view locatingItem;
    std::string_view readingItem;
    std::string_view cleaningUp;
    Object OutlookReferences::*item;
};

// The details members: the folder given by entry id (or the default folder) becomes TargetFolder,
// the item given by entry id is found in it, `read(details, item, folder, step)` appends its
// details, and Outlook is released. Reaching Outlook fails as in the list members; a later
// failure names the error and the step under way after the import's own words. Outlook is
// released after either failure, and the text built so far is the result.
template <class Read>
Variant importDetails(ControlState& state, Params& params, const ItemImport& import, Read&& read) {
    OutlookReferences& outlook = state.outlook;
    Object& folder = state.contactFolder.TargetFolder;
    Object& item = outlook.*import.item;
    std::string details;
    StepText step;
    if (auto error = outlookUnreachable(outlook)) {
        Variant nothingBuilt = outlookNotInstalled(*error);
        cleanUpOutlook(state);
        return nothingBuilt;
    }
    return trapped(
        [&]() -> Variant {
            step = import.choosingFolder;
            folder = chosenFolder(outlook, import.defaultFolder, params, 0, FolderIdForm::AsGiven);
            step = import.locatingItem;
            // Cleared first, so that an id no item has fails when the item is read.
            item.release();
            item = itemWithEntryId(outlook, folder, params.str(1));
            step = import.readingItem;
            read(details, item, folder, step);
            step = import.cleaningUp;
            cleanUpOutlook(state);
            return Variant(details);
        },
        [&](const Error& e) {
            tell(importFailureText(import.laterMessage, e, step.text()));
            cleanUpOutlook(state);
            return Variant(details);
        });
}

}  // namespace lumora::control
