#include "mail_attachments.hpp"

#include <algorithm>
#include <fstream>

#include "Platform/Files/page_path.hpp"
#include "attachment_properties.hpp"
#include "pim_errors.hpp"

namespace lumora::pim {

namespace fs = std::filesystem;

AttachmentRow readAttachment(std::string_view pagePath) {
    const std::string shown(pagePath);
    fs::path file;
    try {
        file = files::resolvePagePath(pagePath).local;
    } catch (const Error&) {
        // A path the caller may not reach is, for the caller, a file that is not there.
        raise(PimError::AttachmentMissing, shown);
    }
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (error || !fs::exists(status)) raise(PimError::AttachmentMissing, shown);
    if (!fs::is_regular_file(status)) raise(PimError::AttachmentNotAFile, shown);
    const uintmax_t size = fs::file_size(file, error);
    if (error) raise(PimError::AttachmentMissing, shown);
    if (size > kMaxAttachmentBytes) raise(PimError::AttachmentTooLarge, shown);
    std::ifstream in(file, std::ios::binary);
    AttachmentRow row{file.filename().string(), std::string(size, '\0'), {}};
    if (!in.read(row.bytes.data(), static_cast<std::streamsize>(size))) raise(PimError::AttachmentMissing, shown);
    return row;
}

const TypeInfo& Attachments::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("Attachments");
        addCollectionMembers(t, kAutomationCollection);
        t.method<Attachments>("Add", 0x65, {"Source", "Type", "Position", "DisplayName"}, 1,
                              [](Attachments& c, Args& a) { return Variant(c.add(a[0], a[3])); });
        t.method<Attachments>("Remove", 0x54, {"Index"}, 1, [](Attachments& c, Args& a) {
            c.remove(a[0].toI4());
            return Variant();
        });
        return t;
    }();
    return info;
}

int32_t Attachments::count() { return static_cast<int32_t>(m_state->mailParts().attachments.size()); }

std::optional<Variant> Attachments::at(int32_t position) {
    auto& attachments = m_state->mailParts().attachments;
    if (position < 0 || position >= static_cast<int32_t>(attachments.size())) return std::nullopt;
    return Variant(makeObject<Attachment>(m_state, attachments[position]));
}

Object Attachments::add(const Variant& source, const Variant& displayName) {
    if (!source.isString()) raise(RuntimeError::TypeMismatch);
    auto row = std::make_shared<AttachmentRow>(readAttachment(source.str()));
    if (displayName.isString() && !displayName.str().empty()) row->fileName = displayName.str();
    ItemRecord& mail = m_state->mailParts();
    mail.attachments.push_back(row);
    mail.mailPartsChanged = true;
    return makeObject<Attachment>(m_state, std::move(row));
}

void Attachments::remove(int32_t position) {
    ItemRecord& mail = m_state->mailParts();
    if (position < 1 || position > static_cast<int32_t>(mail.attachments.size()))
        raise(RuntimeError::SubscriptOutOfRange);
    mail.attachments.erase(mail.attachments.begin() + (position - 1));
    mail.mailPartsChanged = true;
}

const TypeInfo& Attachment::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("Attachment");
        t.getter<Attachment>("FileName", 0x3704, [](Attachment& a) { return Variant(a.m_row->fileName); });
        t.getter<Attachment>("DisplayName", 0x3001, [](Attachment& a) { return Variant(a.m_row->fileName); });
        t.getter<Attachment>("Size", 0xe20,
                             [](Attachment& a) { return Variant(static_cast<int32_t>(a.m_row->bytes.size())); });
        t.getter<Attachment>("Index", 0x5b, [](Attachment& a) { return Variant(a.index()); });
        t.getter<Attachment>("PropertyAccessor", 0xfafd, [](Attachment& a) {
            return Variant(makeObject<AttachmentPropertyAccessor>(a.m_state, a.m_row));
        });
        t.method<Attachment>("Delete", 0x69, {}, 0, [](Attachment& a, Args&) {
            a.remove();
            return Variant();
        });
        t.method<Attachment>("SaveAsFile", 0x68, {"Path"}, 1, [](Attachment& a, Args& args) {
            a.saveAsFile(args[0].toString());
            return Variant();
        });
        return t;
    }();
    return info;
}

int32_t Attachment::index() const {
    const auto& attachments = m_state->mailParts().attachments;
    auto it = std::find(attachments.begin(), attachments.end(), m_row);
    return it == attachments.end() ? 0 : static_cast<int32_t>(it - attachments.begin()) + 1;
}

void Attachment::remove() {
    ItemRecord& mail = m_state->mailParts();
    std::erase(mail.attachments, m_row);
    mail.mailPartsChanged = true;
}

void Attachment::saveAsFile(std::string_view pagePath) const {
    const fs::path file = files::resolvePagePath(pagePath).local;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(m_row->bytes.data(), static_cast<std::streamsize>(m_row->bytes.size()));
    out.close();
    if (!out) raise(RuntimeError::PathNotFound, std::string(pagePath));
}

}  // namespace lumora::pim
