#pragma once
// Lumora.PimAdmin: what a person does in the PIM's own window, for tests, scripts, the CLI and
// the demo page. Select(entryId, ...) sets the explorer selection in that order (no arguments
// clear it); AddMailbox(userName) opens another user's mailbox and gives its store id;
// Share(userName, folderType, allowed) shares or unshares that user's default folder with the
// current user; FailNext(member, number) makes the next call of that member fail once.

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

private:
    StoreAccess m_access;
};

}  // namespace lumora::pim
