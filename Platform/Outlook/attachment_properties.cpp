#include "attachment_properties.hpp"

#include <algorithm>

#include "Automation/vb/strings.hpp"
#include "item_kinds.hpp"
#include "pim_errors.hpp"

namespace lumora::pim {

namespace {

constexpr size_t kMaxContentIdLength = 250;

// The content id's tag in either string form: the tag's last four digits name the value's type,
// 001F for Unicode and 001E for 8-bit strings, and callers use both.
bool isContentIdTag(std::string_view tag) {
    constexpr std::string_view kStem = kAttachContentIdTag.substr(0, kAttachContentIdTag.size() - 4);
    if (tag.size() != kAttachContentIdTag.size() || !vb::equalsNoCase(tag.substr(0, kStem.size()), kStem)) return false;
    const std::string_view type = tag.substr(kStem.size());
    return vb::equalsNoCase(type, "001F") || vb::equalsNoCase(type, "001E");
}

}  // namespace

bool isContentIdCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte < 0x7F && std::string_view("<>()[]\\\"',;:").find(c) == std::string_view::npos;
}

std::string checkedContentId(std::string_view text) {
    std::string_view id = text;
    if (id.size() >= 2 && id.front() == '<' && id.back() == '>') id = id.substr(1, id.size() - 2);
    if (id.size() > kMaxContentIdLength || !std::all_of(id.begin(), id.end(), isContentIdCharacter) ||
        (id.empty() && !text.empty()))
        raise(PimError::BadContentId, std::string(text));
    return std::string(id);
}

const TypeInfo& AttachmentPropertyAccessor::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("PropertyAccessor");
        t.method<AttachmentPropertyAccessor>("GetProperty", 0xfafe, {"SchemaName"}, 1,
                                             [](AttachmentPropertyAccessor& p, Args& a) {
                                                 return p.property(a[0].toString());
                                             });
        t.method<AttachmentPropertyAccessor>("SetProperty", 0xfb00, {"SchemaName", "Value"}, 2,
                                             [](AttachmentPropertyAccessor& p, Args& a) {
                                                 p.setProperty(a[0].toString(), a[1]);
                                                 return Variant();
                                             });
        return t;
    }();
    return info;
}

Variant AttachmentPropertyAccessor::property(std::string_view tag) const {
    if (!isContentIdTag(tag)) raise(PimError::UnknownProperty, std::string(tag));
    return Variant(m_row->contentId);
}

void AttachmentPropertyAccessor::setProperty(std::string_view tag, const Variant& value) {
    if (!isContentIdTag(tag)) raise(PimError::UnknownProperty, std::string(tag));
    if (!value.isString()) raise(RuntimeError::TypeMismatch);
    m_row->contentId = checkedContentId(value.str());
    m_state->mailParts().mailPartsChanged = true;
}

}  // namespace lumora::pim
