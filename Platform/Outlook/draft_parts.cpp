#include "draft_parts.hpp"

#include <algorithm>
#include <cctype>

#include "Automation/vb/utf8.hpp"
#include "mail_media_types.hpp"

namespace lumora::pim {

namespace {

// Lines up to this long go out as they are; RFC 5322 asks for 78 at most, and readers that
// show the raw text wrap longer ones.
constexpr size_t kShortLine = 76;

size_t longestLine(std::string_view text) {
    size_t longest = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        longest = std::max(longest, end - start);
        start = end + 1;
    }
    return longest;
}

void setContent(GMimePart* part, std::string_view bytes) {
    auto stream = owned(g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size()));
    auto content = owned(g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(part, content.get());
}

// The file name as RFC 2047 "Q" encoded words in UTF-8, each within the 75 characters the RFC
// allows and none splitting a character. Not GMime's choice of "B", whose base64 holds "/":
// readers that save an attachment under the name as written (munpack) made folders of it.
std::string encodedWords(std::string_view text) {
    constexpr std::string_view kOpen = "=?UTF-8?Q?", kClose = "?=";
    constexpr size_t kMaxWord = 75;
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string words, word;
    auto closeWord = [&] {
        if (word.empty()) return;
        if (!words.empty()) words += ' ';
        words.append(kOpen).append(word).append(kClose);
        word.clear();
    };
    for (size_t offset = 0; offset < text.size();) {
        const size_t start = offset;
        vb::utf8::next(text, offset);
        std::string encoded;
        for (const char c : text.substr(start, offset - start)) {
            const auto byte = static_cast<unsigned char>(c);
            if (std::isalnum(byte) || std::string_view("!*+-.").find(c) != std::string_view::npos) encoded += c;
            else if (c == ' ') encoded += '_';
            else encoded.append({'=', kDigits[byte >> 4], kDigits[byte & 0xF]});
        }
        if (kOpen.size() + word.size() + encoded.size() + kClose.size() > kMaxWord) closeWord();
        word += encoded;
    }
    closeWord();
    return words;
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

GObjectHandle<GMimeObject> textPart(const char* subtype, std::string_view text) {
    auto part = owned(GMIME_OBJECT(g_mime_text_part_new_with_subtype(subtype)));
    GMimePart* mimePart = GMIME_PART(part.get());
    setContent(mimePart, text);
    g_mime_object_set_content_type_parameter(part.get(), "charset", "utf-8");
    // GMime answers "default" (7bit, which RFC 2045 lets go unnamed) for ASCII in lines up to 998.
    GMimeContentEncoding encoding = g_mime_part_get_best_content_encoding(mimePart, GMIME_ENCODING_CONSTRAINT_7BIT);
    const bool sevenBit = encoding == GMIME_CONTENT_ENCODING_DEFAULT || encoding == GMIME_CONTENT_ENCODING_7BIT;
    if (sevenBit && longestLine(text) > kShortLine) encoding = GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE;
    g_mime_part_set_content_encoding(mimePart, encoding);
    return part;
}

GObjectHandle<GMimeObject> attachmentPart(const AttachmentRow& attachment, AttachmentPlace place) {
    const MediaType media = attachmentMediaType(attachment.fileName, attachment.bytes);
    GMimePart* part = g_mime_part_new_with_type(media.type.c_str(), media.subtype.c_str());
    auto handle = owned(GMIME_OBJECT(part));
    if (!media.charset.empty()) g_mime_object_set_content_type_parameter(handle.get(), "charset", media.charset.c_str());
    setContent(part, attachment.bytes);
    g_mime_object_set_disposition(handle.get(),
                                  place == AttachmentPlace::Inline ? GMIME_DISPOSITION_INLINE : GMIME_DISPOSITION_ATTACHMENT);
    // A name read from the file system may hold bytes that are no UTF-8; a header says what
    // its character set is, so those become U+FFFD rather than bytes of an unknown one.
    const std::string name = vb::utf8::wellFormed(oneLine(attachment.fileName));
    if (!name.empty()) {
        g_mime_part_set_filename(part, name.c_str());
        // In UTF-8: GMime would pick the smallest character set that holds the name
        // (ISO-8859-1 for "Müller"), which readers saving the file take for the system's own.
        GMimeContentDisposition* disposition = g_mime_object_get_content_disposition(handle.get());
        if (GMimeParam* filename = g_mime_param_list_get_parameter(g_mime_content_disposition_get_parameters(disposition), "filename"))
            g_mime_param_set_charset(filename, "utf-8");
        if (!isAscii(name)) g_mime_object_set_content_type_parameter(handle.get(), "name", encodedWords(name).c_str());
    }
    if (place == AttachmentPlace::Inline) g_mime_object_set_content_id(handle.get(), attachment.contentId.c_str());
    g_mime_part_set_content_encoding(part, GMIME_CONTENT_ENCODING_BASE64);
    return handle;
}

}  // namespace lumora::pim
