#include "import_lists.hpp"

#include "Automation/cancellation.hpp"
#include "Automation/vb/strings.hpp"

namespace lumora::control {

namespace {

int32_t number(pim::FolderType type) { return static_cast<int32_t>(type); }
int32_t number(pim::ItemType type) { return static_cast<int32_t>(type); }
int32_t number(pim::ItemClass itemClass) { return static_cast<int32_t>(itemClass); }

// Walks the folder's items in the folder's own order, one at a time, with LoopItem as the walk's
// variable, until `visit` returns false. Items are read as the walk reaches them, so a walk that
// stops early reads no more of a large folder than it needs.
template <class Visit>
void walkItems(OutlookReferences& outlook, const Object& folder, Visit&& visit) {
    const Object items = folder.getObject("Items");
    const int32_t count = items.count();
    for (int32_t i = 1; i <= count; ++i) {
        checkCancelled();
        outlook.LoopItem = items.item(i);
        if (!visit(outlook.LoopItem)) break;
    }
}

}  // namespace

void appendValue(std::string& list, std::string_view value) {
    list += value;
    list += kImportDelimiter;
}

std::string folderList(OutlookReferences& outlook, const ImportFolders& folders, EmptySubfolders empties,
                       std::string& appended) {
    outlook.DefaultFolder = outlook.MapiNamespace.call("GetDefaultFolder", number(folders.defaultFolder)).toObject();
    const Object subfolders = outlook.DefaultFolder.getObject("Folders");
    const int32_t count = subfolders.count();
    for (int32_t i = 1; i <= count; ++i) {
        const Object folder = subfolders.item(i);
        if (folder.get("DefaultItemType").toI4() != number(folders.listedItemType)) continue;
        if (empties == EmptySubfolders::LeftOut && folder.getObject("Items").count() == 0) continue;
        appendValue(appended, folder.get("Name").toString());
        appendValue(appended, folder.get("EntryID").toString());
    }
    std::string list(folders.defaultFolderName);
    list += kImportDelimiter;
    if (appended.empty()) return list;
    // Only one character of the last delimiter is cut: the page's parser relies on the "#" left.
    list += kImportDelimiter;
    list.append(appended, 0, appended.size() - 1);
    return list;
}

Object chosenFolder(OutlookReferences& outlook, pim::FolderType defaultFolder, Params& params, size_t index,
                    FolderIdForm form) {
    outlook.DefaultFolder = outlook.MapiNamespace.call("GetDefaultFolder", number(defaultFolder)).toObject();
    if (params.str(index).empty()) return outlook.DefaultFolder;
    // An id of nothing but "#" is not empty when it is given, so it opens no folder at all.
    if (form == FolderIdForm::WithoutHashes) params.writeBack(index, Variant(vb::replace(params.str(index), "#", "")));
    return outlook.MapiNamespace.call("GetFolderFromID", params.str(index)).toObject();
}

std::vector<ListedItem> listedItems(OutlookReferences& outlook, const Object& folder, const ListedItems& listed) {
    std::vector<ListedItem> items;
    walkItems(outlook, folder, [&](const Object& item) {
        // Items of other classes lack the required member, so their class is asked first.
        if (item.get("Class").toI4() == number(listed.itemClass) && !item.get(listed.requiredMember).toString().empty())
            items.push_back({item.get(listed.nameMember).toString(), item.get("EntryID").toString()});
        return true;
    });
    outlook.LoopItem.release();
    return items;
}

std::string itemList(const std::vector<ListedItem>& items) {
    std::string list;
    for (const ListedItem& item : items) {
        appendValue(list, item.name);
        appendValue(list, item.entryId);
    }
    return list;
}

Object itemWithEntryId(OutlookReferences& outlook, const Object& folder, const std::string& entryId) {
    Object found;
    walkItems(outlook, folder, [&](const Object& item) {
        if (item.get("EntryID").toString() != entryId) return true;
        found = item;
        return false;
    });
    outlook.LoopItem.release();
    return found;
}

}  // namespace lumora::control
