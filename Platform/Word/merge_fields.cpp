// Making merge fields over a range, and reading a merge field's name from its instruction.

#include "merge_fields.hpp"

#include "Automation/vb/strings.hpp"
#include "Platform/Xml/xml_handles.hpp"
#include "text_span.hpp"
#include "wordml.hpp"

namespace lumora::word {

XmlNode* insertMergeField(TextSpan& span, std::string_view name) {
    Location& place = span.location();
    Story& story = *place.story;
    DocxDocument& docx = span.docx();
    xmlDoc* doc = story.part()->doc.get();
    const int32_t start = place.span->start;
    xmlNode* formattedRun = story.runAt(start);

    // One paragraph holding only the field: insertBlocks joins it to the text at the range.
    const xml::NodeHandle blocks(ml::make(doc, "body"));
    xmlNode* paragraph = xmlAddChild(blocks.get(), ml::make(doc, "p"));
    xmlNode* field = xmlAddChild(paragraph, ml::make(doc, "fldSimple"));
    const std::string instruction = " MERGEFIELD " + std::string(name) + " ";
    xmlNewNsProp(field, field->ns, BAD_CAST "instr", BAD_CAST instruction.c_str());
    xmlNode* run = xmlAddChild(field, ml::make(doc, "r"));
    if (xmlNode* properties = formattedRun ? ml::firstChild(formattedRun, "rPr") : nullptr)
        xmlAddChild(run, ml::copy(properties));
    ml::setText(xmlAddChild(run, ml::make(doc, "t")), "\u00AB" + std::string(name) + "\u00BB");

    docx.noteStructureEdit(story);
    const int32_t end = story.insertBlocks(start, place.span->end, blocks.get());
    place.span->start = place.span->end = end;
    return field;
}

std::optional<std::string> mergeFieldName(std::string_view instruction) {
    const std::string code = vb::trim(instruction);
    constexpr std::string_view kKeyword = "MERGEFIELD";
    if (code.size() < kKeyword.size() || !vb::equalsNoCase(code.substr(0, kKeyword.size()), kKeyword))
        return std::nullopt;
    std::string_view rest = std::string_view(code).substr(kKeyword.size());
    if (!rest.empty() && rest.front() != ' ' && rest.front() != '\t') return std::nullopt;
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
    if (!rest.empty() && rest.front() == '"') {
        const size_t close = rest.find('"', 1);
        return std::string(rest.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    }
    return std::string(rest.substr(0, rest.find_first_of(" \t")));
}

}  // namespace lumora::word
