#include "resource_outline.hpp"

#include <algorithm>
#include <cctype>

#include "pim_errors.hpp"

namespace lumora::pim {

namespace {

std::string valueOf(const LogicalLine& line) {
    const size_t start = valueStartOf(line.text);
    return start == std::string::npos ? std::string() : line.text.substr(start);
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string lineNumber(size_t index) { return "line " + std::to_string(index + 1); }

}  // namespace

ResourceOutline outlineOf(std::string_view text, SoftBreaks softBreaks) {
    ResourceOutline outline;
    outline.lines = logicalLines(text, softBreaks);
    // The parts open now, outermost first; those at the top and one level in are recorded.
    std::vector<OutlinePart> open;
    for (size_t i = 0; i < outline.lines.size(); ++i) {
        const std::string name = propertyNameOf(outline.lines[i].text);
        if (name == "BEGIN") {
            OutlinePart part;
            part.name = upper(valueOf(outline.lines[i]));
            part.begin = i;
            open.push_back(std::move(part));
        } else if (name == "END") {
            const std::string closed = upper(valueOf(outline.lines[i]));
            if (open.empty()) raise(PimError::BadResource, lineNumber(i) + ": END:" + closed + " without its BEGIN");
            if (open.back().name != closed)
                raise(PimError::BadResource, lineNumber(i) + ": END:" + closed + " closes BEGIN:" + open.back().name);
            OutlinePart part = std::move(open.back());
            open.pop_back();
            part.end = i;
            if (open.empty()) outline.parts.push_back(std::move(part));
            else if (open.size() == 1) open.back().children.push_back(std::move(part));
        } else if (open.empty()) {
            raise(PimError::BadResource, lineNumber(i) + " stands outside every BEGIN and END");
        } else {
            open.back().properties.push_back(i);
        }
    }
    if (!open.empty()) raise(PimError::BadResource, "BEGIN:" + open.back().name + " has no END");
    if (outline.parts.empty()) raise(PimError::BadResource, "it is empty");
    return outline;
}

std::string propertyValue(const ResourceOutline& outline, const OutlinePart& part, std::string_view name) {
    for (size_t index : part.properties)
        if (propertyNameOf(outline.lines[index].text) == name) return unescapedText(valueOf(outline.lines[index]));
    return {};
}

bool hasProperty(const ResourceOutline& outline, const OutlinePart& part, std::string_view name) {
    return std::any_of(part.properties.begin(), part.properties.end(),
                       [&](size_t index) { return propertyNameOf(outline.lines[index].text) == name; });
}

}  // namespace lumora::pim
