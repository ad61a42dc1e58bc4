#pragma once
// An attachment's PropertyAccessor: properties read and set by their tag rather than by a name
// of the object model. The content id is the one an attachment holds here (kAttachContentIdTag):
// an HTML body shows the attachment in place where it refers to "cid:" and that id. Any other
// tag is a property the attachment does not have.

#include <memory>
#include <string>
#include <string_view>

#include "Automation/object.hpp"
#include "pim_item.hpp"

namespace lumora::pim {

// What a content id is made of: RFC 5322 allows atext, "." and "@" inside a message id's angle
// brackets; without the apostrophe, which would end the "cid:" URL (RFC 2392) of an HTML
// attribute in single quotes. So the Content-ID header and the URL carry the id unchanged.
bool isContentIdCharacter(char c);

// The content id as a message header writes it between angle brackets: the text without
// brackets of its own, or the store's error for one no header can carry. Empty stays empty.
std::string checkedContentId(std::string_view text);

class AttachmentPropertyAccessor final : public Dispatch {
public:
    AttachmentPropertyAccessor(std::shared_ptr<ItemState> state, std::shared_ptr<AttachmentRow> row)
        : m_state(std::move(state)), m_row(std::move(row)) {}
    const TypeInfo& typeInfo() const override;
    Variant property(std::string_view tag) const;
    void setProperty(std::string_view tag, const Variant& value);

private:
    std::shared_ptr<ItemState> m_state;
    std::shared_ptr<AttachmentRow> m_row;
};

}  // namespace lumora::pim
