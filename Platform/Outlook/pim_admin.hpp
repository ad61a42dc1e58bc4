#pragma once
// Lumora.PimAdmin: what a person does in the PIM's own window, for tests, scripts, the CLI and
// the demo page. Select(entryId, ...) sets the explorer selection in that order (no arguments
// clear it); AddMailbox(userName) opens another user's mailbox and gives its store id;
// Share(userName, folderType, allowed) shares or unshares that user's default folder with the
// current user; FailNext(member, number) makes the next call of that member fail once.
// Folders() and Items(folderEntryId) list what the explorer shows, Display(entryId) opens an
// item; Import(path, [created], [updated]) and Export(kind, path) exchange files with other
// programs (pim_exchange.hpp): Import returns how many items the file held, and sets the by-ref
// counts of those it created and those it updated in place.
// A page may look, select and open within its view (pim_view.hpp); what changes who sees what,
// or reaches files, is the local user's alone and refused on a page's thread with error 70.

#include "pim_exchange.hpp"
#include "pim_session.hpp"

namespace lumora::pim {

class PimAdmin final : public Dispatch {
public:
    const TypeInfo& typeInfo() const override;
    // Every entry id must name an item; otherwise nothing changes.
    void select(const std::vector<std::string>& entryIds);
    std::string addMailbox(const std::string& userName);
    void share(const std::string& userName, int32_t folderType, bool allowed);
    // The next call of the object model's member fails once with the error number given.
    void failNext(const std::string& member, int32_t number);
    // [entryId, name, default item type, item count, depth] per folder of the current mailbox,
    // each folder before its subfolders.
    Variant folders();
    // [entryId, class, title, detail] per item, the first kMaxListedItems in folder order.
    Variant items(const std::string& folderEntryId);
    void display(const std::string& entryId);
    ImportCounts importFile(const std::string& path);
    int32_t exportFolder(const std::string& kind, const std::string& path);

    static constexpr size_t kMaxListedItems = 500;

private:
    StoreAccess m_access;
};

}  // namespace lumora::pim
