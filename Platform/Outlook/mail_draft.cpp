#include "mail_draft.hpp"

#include <gmime/gmime.h>

#include <mutex>
#include <vector>

#include "Automation/vb/convert.hpp"
#include "Automation/vb/utf8.hpp"
#include "draft_addresses.hpp"
#include "draft_parts.hpp"
#include "gobject_handle.hpp"
#include "mail_html.hpp"
#include "pim_item.hpp"

namespace lumora::pim {

namespace {

void ensureGMime() {
    static std::once_flag started;
    std::call_once(started, [] { g_mime_init(); });
}

GObjectHandle<GMimeObject> multipartOf(const char* subtype, const std::vector<GObjectHandle<GMimeObject>>& parts) {
    auto multipart = owned(GMIME_OBJECT(g_mime_multipart_new_with_subtype(subtype)));
    for (const auto& part : parts) g_mime_multipart_add(GMIME_MULTIPART(multipart.get()), part.get());
    return multipart;
}

// Body and attachments as they nest: mixed[related[alternative[plain, html] | html, inline
// images], other attachments], each level left out when it would hold one part alone. An
// attachment is shown in place when the HTML body refers to its content id; one the body does
// not show is attached, so nothing attached is hidden from the person.
GObjectHandle<GMimeObject> contentOf(const ItemRecord& mail) {
    const std::string html = htmlBodyAsUtf8(textValue(mail, "HTMLBody"));
    const std::string plain = vb::utf8::wellFormed(textValue(mail, "Body"));
    GObjectHandle<GMimeObject> body;
    if (html.empty()) body = textPart("plain", plain);
    else if (plain.empty()) body = textPart("html", html);
    else {
        std::vector<GObjectHandle<GMimeObject>> alternatives;
        alternatives.push_back(textPart("plain", plain));
        alternatives.push_back(textPart("html", html));
        body = multipartOf("alternative", alternatives);
    }

    std::vector<GObjectHandle<GMimeObject>> related, mixed;
    for (const auto& attachment : mail.attachments) {
        if (refersToContentId(html, attachment->contentId))
            related.push_back(attachmentPart(*attachment, AttachmentPlace::Inline));
        else
            mixed.push_back(attachmentPart(*attachment, AttachmentPlace::Attached));
    }
    if (!related.empty()) {
        // RFC 2387: the type of the part the others belong to, the first.
        const char* rootType = plain.empty() ? "text/html" : "multipart/alternative";
        related.insert(related.begin(), std::move(body));
        body = multipartOf("related", related);
        g_mime_object_set_content_type_parameter(body.get(), "type", rootType);
    }
    if (mixed.empty()) return body;
    mixed.insert(mixed.begin(), std::move(body));
    return multipartOf("mixed", mixed);
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
    g_mime_message_set_subject(message.get(), vb::utf8::wellFormed(oneLine(textValue(mail, "Subject"))).c_str(), "utf-8");
    addSender(message.get(), mail);
    addRecipients(message.get(), mail);
    if (DateTimeHandle date = localDateTime(now)) g_mime_message_set_date(message.get(), date.get());
    g_mime_object_set_header(GMIME_OBJECT(message.get()), "X-Unsent", "1", nullptr);
    g_mime_message_set_mime_part(message.get(), contentOf(mail).get());

    FormatOptionsHandle options(g_mime_format_options_new(), &g_mime_format_options_free);
    g_mime_format_options_set_newline_format(options.get(), GMIME_NEWLINE_FORMAT_DOS);
    auto out = owned(g_mime_stream_mem_new());
    g_mime_object_write_to_stream(GMIME_OBJECT(message.get()), options.get(), out.get());
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    return std::string(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

}  // namespace lumora::pim
