#pragma once
// A mail item's attachments. Add(path) copies the file's bytes into the item at once, so what
// is attached is the file as it was then, and a later save stores it with the item; a path that
// is missing or names a folder raises an error and attaches nothing. Paths are read as a page
// writes them (drive letters, "\"), within what the calling page may reach.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "Automation/collection.hpp"
#include "pim_item.hpp"

namespace lumora::pim {

// The largest file a mail item takes as an attachment.
inline constexpr uintmax_t kMaxAttachmentBytes = 64u << 20;

// The file's bytes and name, or the store's error for a path that cannot be attached.
AttachmentRow readAttachment(std::string_view pagePath);

class Attachments final : public Collection {
public:
    explicit Attachments(std::shared_ptr<ItemState> state) : m_state(std::move(state)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override;
    std::optional<Variant> at(int32_t position) override;
    Object add(const Variant& source, const Variant& displayName);
    void remove(int32_t position);

private:
    std::shared_ptr<ItemState> m_state;
};

class Attachment final : public Dispatch {
public:
    Attachment(std::shared_ptr<ItemState> state, std::shared_ptr<AttachmentRow> row)
        : m_state(std::move(state)), m_row(std::move(row)) {}
    const TypeInfo& typeInfo() const override;
    int32_t index() const;  // 1-based; 0 once deleted
    void remove();
    void saveAsFile(std::string_view pagePath) const;

private:
    std::shared_ptr<ItemState> m_state;
    std::shared_ptr<AttachmentRow> m_row;
};

}  // namespace lumora::pim
