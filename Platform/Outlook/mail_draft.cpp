#include "mail_draft.hpp"

#include <gmime/gmime.h>

#include <algorithm>
#include <cctype>
#include <mutex>

#include "Automation/vb/convert.hpp"
#include "gobject_handle.hpp"
#include "mail_recipients.hpp"
#include "pim_item.hpp"

namespace lumora::pim {

namespace {

struct MediaType {
    std::string_view extension;
    const char* type;
    const char* subtype;
};
constexpr MediaType kMediaTypes[] = {
    {".pdf", "application", "pdf"},
    {".docx", "application", "vnd.openxmlformats-officedocument.wordprocessingml.document"},
    {".xlsx", "application", "vnd.openxmlformats-officedocument.spreadsheetml.sheet"},
    {".doc", "application", "msword"},
    {".xls", "application", "vnd.ms-excel"},
    {".htm", "text", "html"},
    {".html", "text", "html"},
    {".txt", "text", "plain"},
    {".csv", "text", "csv"},
    {".png", "image", "png"},
    {".jpg", "image", "jpeg"},
    {".jpeg", "image", "jpeg"},
    {".gif", "image", "gif"},
    {".ics", "text", "calendar"},
    {".vcf", "text", "vcard"},
    {".zip", "application", "zip"},
};

const MediaType* mediaTypeOf(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return nullptr;
    std::string extension(fileName.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const MediaType& media : kMediaTypes)
        if (media.extension == extension) return &media;
    return nullptr;
}

// A header value on one line: a line break in a subject or a name (a page may send one) would
// otherwise start a header of its own.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

void ensureGMime() {
    static std::once_flag started;
    std::call_once(started, [] { g_mime_init(); });
}

GMimeAddressType lineOf(int32_t type) {
    switch (static_cast<RecipientType>(type)) {
    case RecipientType::CC: return GMIME_ADDRESS_TYPE_CC;
    case RecipientType::BCC: return GMIME_ADDRESS_TYPE_BCC;
    case RecipientType::To: break;
    }
    return GMIME_ADDRESS_TYPE_TO;
}

// Each line is gathered in a list of its own and appended to the message's once: the message
// re-encodes a line's header on every change, which made a campaign's thousands of BCC
// addresses cost time in the square of their number.
void addRecipients(GMimeMessage* message, const ItemRecord& mail) {
    for (int32_t type : {int32_t(RecipientType::To), int32_t(RecipientType::CC), int32_t(RecipientType::BCC)}) {
        auto line = owned(internet_address_list_new());
        for (const auto& recipient : mail.recipients) {
            if (recipient->type != type) continue;
            NamedAddress named = splitAddress(oneLine(recipient->name));
            auto address = owned(named.address.empty()
                                     ? internet_address_group_new(named.displayName.c_str())
                                     : internet_address_mailbox_new(named.displayName.c_str(), named.address.c_str()));
            internet_address_list_add(line.get(), address.get());
        }
        if (internet_address_list_length(line.get()) > 0)
            internet_address_list_append(g_mime_message_get_addresses(message, lineOf(type)), line.get());
    }
}

GObjectHandle<GMimeObject> textPart(const char* subtype, const std::string& text) {
    GMimeTextPart* part = g_mime_text_part_new_with_subtype(subtype);
    g_mime_text_part_set_text(part, text.c_str());
    auto* mimePart = GMIME_PART(part);
    g_mime_part_set_content_encoding(mimePart,
                                     g_mime_part_get_best_content_encoding(mimePart, GMIME_ENCODING_CONSTRAINT_7BIT));
    return owned(GMIME_OBJECT(part));
}

GObjectHandle<GMimeObject> bodyOf(const ItemRecord& mail) {
    const std::string html = textValue(mail, "HTMLBody");
    const std::string plain = textValue(mail, "Body");
    if (html.empty()) return textPart("plain", plain);
    if (plain.empty()) return textPart("html", html);
    auto alternative = owned(GMIME_OBJECT(g_mime_multipart_new_with_subtype("alternative")));
    g_mime_multipart_add(GMIME_MULTIPART(alternative.get()), textPart("plain", plain).get());
    g_mime_multipart_add(GMIME_MULTIPART(alternative.get()), textPart("html", html).get());
    return alternative;
}

GObjectHandle<GMimeObject> attachmentPart(const AttachmentRow& attachment) {
    const MediaType* media = mediaTypeOf(attachment.fileName);
    GMimePart* part = g_mime_part_new_with_type(media ? media->type : "application",
                                                media ? media->subtype : "octet-stream");
    auto handle = owned(GMIME_OBJECT(part));
    auto bytes = owned(g_mime_stream_mem_new_with_buffer(attachment.bytes.data(), attachment.bytes.size()));
    auto content = owned(g_mime_data_wrapper_new_with_stream(bytes.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(part, content.get());
    g_mime_object_set_disposition(handle.get(), GMIME_DISPOSITION_ATTACHMENT);
    g_mime_part_set_filename(part, oneLine(attachment.fileName).c_str());
    g_mime_part_set_content_encoding(part, GMIME_CONTENT_ENCODING_BASE64);
    return handle;
}

using DateTimeHandle = std::unique_ptr<GDateTime, decltype(&g_date_time_unref)>;
using FormatOptionsHandle = std::unique_ptr<GMimeFormatOptions, decltype(&g_mime_format_options_free)>;

DateTimeHandle localDateTime(Date now) {
    const vb::CivilTime t = vb::toCivil(now);
    return DateTimeHandle(g_date_time_new_local(t.year, t.month, t.day, t.hour, t.minute, t.second), &g_date_time_unref);
}

}  // namespace

std::string draftMessage(const ItemRecord& mail, Date now) {
    ensureGMime();
    auto message = owned(g_mime_message_new(TRUE));
    g_mime_message_set_subject(message.get(), oneLine(textValue(mail, "Subject")).c_str(), "utf-8");
    const std::string sender = textValue(mail, "SenderEmailAddress");
    if (isInternetAddress(sender)) {
        auto from = owned(internet_address_mailbox_new(oneLine(textValue(mail, "SenderName")).c_str(), sender.c_str()));
        internet_address_list_add(g_mime_message_get_from(message.get()), from.get());
    }
    addRecipients(message.get(), mail);
    if (DateTimeHandle date = localDateTime(now)) g_mime_message_set_date(message.get(), date.get());
    g_mime_object_set_header(GMIME_OBJECT(message.get()), "X-Unsent", "1", nullptr);

    GObjectHandle<GMimeObject> body = bodyOf(mail);
    if (mail.attachments.empty()) {
        g_mime_message_set_mime_part(message.get(), body.get());
    } else {
        auto mixed = owned(GMIME_OBJECT(g_mime_multipart_new_with_subtype("mixed")));
        g_mime_multipart_add(GMIME_MULTIPART(mixed.get()), body.get());
        for (const auto& attachment : mail.attachments)
            g_mime_multipart_add(GMIME_MULTIPART(mixed.get()), attachmentPart(*attachment).get());
        g_mime_message_set_mime_part(message.get(), mixed.get());
    }

    FormatOptionsHandle options(g_mime_format_options_new(), &g_mime_format_options_free);
    g_mime_format_options_set_newline_format(options.get(), GMIME_NEWLINE_FORMAT_DOS);
    auto out = owned(g_mime_stream_mem_new());
    g_mime_object_write_to_stream(GMIME_OBJECT(message.get()), options.get(), out.get());
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    return std::string(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

}  // namespace lumora::pim
