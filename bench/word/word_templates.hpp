#pragma once
// Letter templates of a chosen size for the word-processing benchmarks: `pages` pages of
// ordinary letter text (about 40 paragraphs of 80 characters each), with `tags` distinct tags
// spread evenly through it, every third one split over three runs as spell-checking leaves them
// and every fifth in a bold run, plus a header carrying one tag. Used by the engine bench and by
// the tool beside it that writes the same templates for other programs to fill.

#include <filesystem>
#include <string>

namespace lumora::bench {

enum class TagStyle {
    Angle,   // <Tag7>, as the letters' templates write them
    Braces,  // {Tag7}, as mustache-style template engines expect
};

// Writes the template; tags are named Tag1 … TagN.
void writeLetterTemplate(const std::filesystem::path& file, int pages, int tags, TagStyle style = TagStyle::Angle);
std::string tagName(int number);  // "Tag7"
std::string tagValue(int number); // the value a benchmark fills tag `number` with

}  // namespace lumora::bench
