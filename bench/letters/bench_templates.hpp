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

// Writes a letter of `pages` pages into folder, its tags spread evenly over them (0 pages: one
// paragraph holding every tag); each value is padded with words to valueLength characters when
// that is longer than it.
LetterTemplate writeLetterTemplate(const std::filesystem::path& folder, int pages, int tags, size_t valueLength = 0);

// Writes the one-line letter "Dear <A>" into folder, whose value for A holds B's tag
// `occurrences` times: a value holding another tag, replaced in turn.
LetterTemplate writeNestedTagTemplate(const std::filesystem::path& folder, int occurrences);

}  // namespace lumora::bench
