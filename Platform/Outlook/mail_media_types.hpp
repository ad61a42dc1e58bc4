#pragma once
// What an attached file is, for the Content-Type its mail part declares. The bytes decide where
// they tell (a PDF, an Office package, a picture, a vCard), whatever the file is called: a name
// such as "Attachment.Doc" says little about what was saved under it. The file name's extension
// decides only for bytes that carry no mark of their own.

#include <string>
#include <string_view>

namespace lumora::pim {

struct MediaType {
    std::string type;     // "application"
    std::string subtype;  // "pdf"
    // For text: "utf-8" for well-formed UTF-8 (ASCII included), "utf-16" after a UTF-16 byte
    // order mark, empty when the encoding is not known.
    std::string charset;
};

MediaType attachmentMediaType(std::string_view fileName, std::string_view bytes);

}  // namespace lumora::pim
