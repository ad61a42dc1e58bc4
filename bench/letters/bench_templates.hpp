#pragma once
// The benchmark's letter templates: pages of body text with distinct tags spread evenly over
// them, and the record document and value table that fill every tag.

#include <filesystem>
#include <string>

namespace lumora::bench {

struct LetterTemplate {
    std::filesystem::path path;
    std::string recordXml;   // letter layout (root Data)
    std::string valuesJson;  // tag name -> value, for the peer
};

// Writes "<pages>p-<tags>t.docx" into folder.
LetterTemplate writeLetterTemplate(const std::filesystem::path& folder, int pages, int tags);

}  // namespace lumora::bench
