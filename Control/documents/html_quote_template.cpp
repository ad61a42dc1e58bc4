// Filling the HTML table template with the quote's lines, through the file-system object and
// the record document's DOM.

#include "html_quote_template.hpp"

#include <limits>
#include <vector>

#include "Automation/cancellation.hpp"
#include "Automation/class_ids.hpp"
#include "Automation/traps.hpp"
#include "Automation/vb/strings.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/outside_apps.hpp"
#include "Platform/Html/serializer.hpp"
#include "html_table_layout.hpp"
#include "quote_builder.hpp"

namespace lumora::control {

namespace {

constexpr int32_t kElementNode = 1;
// The group value before the first line: no real value equals it, so the first line always
// opens a group.
constexpr std::string_view kNoGroupYet = "\xC2\xA3$($()%*()*()";

// A quote field's two placeholder names, both upper-cased: its name, and its tag (its label
// when it has no tag).
struct QuoteField {
    std::string name;
    std::string tag;
    std::string namePlaceholder;
    std::string tagPlaceholder;
};

std::string attributeText(const Object& element, std::string_view name) {
    return NullToText(element.call("getAttribute", std::string(name)));
}

std::vector<QuoteField> quoteFieldsOf(const Object& recordDocument) {
    std::vector<QuoteField> fields;
    const Object container = recordDocument.call("selectSingleNode", "Data/quotefields").toObject();
    for (const Variant& child : container.getObject("childNodes").elements()) {
        const Object field = child.toObject();
        // Comments and other non-element nodes name no field.
        if (field.get("nodeType").toI4() != kElementNode) continue;
        QuoteField quoteField;
        quoteField.name = vb::uCase(attributeText(field, "name"));
        quoteField.tag = vb::uCase(attributeText(field, "templatetag"));
        if (quoteField.tag.empty()) quoteField.tag = vb::uCase(attributeText(field, "label"));
        quoteField.namePlaceholder = placeholderOf(quoteField.name);
        quoteField.tagPlaceholder = placeholderOf(quoteField.tag);
        fields.push_back(std::move(quoteField));
    }
    return fields;
}

// The quote's lines, in order: the child nodes of `Data/quoterows`; none when it is missing.
std::vector<Variant> quoteLinesOf(const Object& recordDocument) {
    const Object container = recordDocument.call("selectSingleNode", "Data/quoterows").toObject();
    if (container.isNothing()) return {};
    return container.getObject("childNodes").elements();
}

// The value of a field on one line, or "" on any failure.
std::string lineValue(const Variant& line, std::string_view fieldName, std::string_view fieldTag) {
    if (fieldName.empty()) return std::string();
    return trapped(
        [&] {
            const Object element = line.toObject();
            std::string value = attributeText(element, vb::lCase(fieldName));
            if (!fieldTag.empty() && value.empty()) value = attributeText(element, vb::lCase(fieldTag));
            return value;
        },
        [](const Error&) { return std::string(); });
}

// The template as the file holds it, byte for byte. A file larger than any filled template
// may be is refused before it is read.
std::string readTemplate(const Object& files, const std::string& path) {
    if (files.getObject("GetFile", path).get("Size").toR8() > static_cast<double>(kMaxFilledTemplateBytes))
        refuseFilledTemplate();
    const Object stream = files.getObject("OpenTextFile", path, kForReading, false, kAsciiFormat);
    std::string html = stream.call("ReadAll").toString();
    stream.call("Close");
    return html;
}

// The output row of one line: the line row with every placeholder of every field replaced by
// the line's value, headed by a copy of the group row whenever the group value changes. The
// group row goes in front before the later fields are replaced, so their placeholders in it are
// filled too.
std::string filledLine(const TableTemplateLayout& layout, const std::vector<QuoteField>& fields, const Variant& line,
                       const std::string& groupField, std::string& previousGroup, size_t room) {
    std::string row(layout.lineRow);
    for (const QuoteField& field : fields) {
        const std::string value = HtmlText(lineValue(line, field.name, field.tag));
        const bool opensGroup = !layout.groupRow.empty() && (field.name == groupField || field.tag == groupField) &&
                                vb::uCase(value) != vb::uCase(previousGroup);
        if (opensGroup) {
            previousGroup = value;
            std::string group = replacedWithin(layout.groupRow, field.tagPlaceholder, value, room);
            group = replacedWithin(group, field.namePlaceholder, value, room);
            if (group.size() + row.size() > room) refuseFilledTemplate();
            row.insert(0, group);
        }
        row = replacedWithin(row, field.tagPlaceholder, value, room);
        row = replacedWithin(row, field.namePlaceholder, value, room);
    }
    return row;
}

}  // namespace

void FillHtmlTemplate(const std::string& temporaryPath, const Object& recordDocument) {
    const Object files = createApplication(progid::FileSystem);
    const std::string html = readTemplate(files, temporaryPath);
    const TableTemplateLayout layout = tableTemplateLayout(html);
    if (layout.groupRowIncorrect) tell(msg::HtmlTemplateGroupIncorrect);

    BoundedHtml filled;
    filled.append(layout.head);
    // A quote without lines gets the table's head and tail alone: an empty line table.
    const std::vector<Variant> lines = quoteLinesOf(recordDocument);
    if (!lines.empty()) {
        const std::vector<QuoteField> fields = quoteFieldsOf(recordDocument);
        const std::string groupField = vb::uCase(layout.groupField);
        std::string previousGroup(kNoGroupYet);
        for (const Variant& line : lines) {
            checkCancelled();
            filled.append(filledLine(layout, fields, line, groupField, previousGroup, filled.room()));
        }
    }
    filled.append(layout.tail);

    const Object stream = files.getObject("OpenTextFile", temporaryPath, kForWriting, false, kAsciiFormat);
    stream.call("Write", filled.text());
    stream.call("Close");
}

std::string QuoteRowValue(int32_t lineNumber, const Object& recordDocument, std::string_view fieldName,
                          std::string_view fieldTag) {
    if (fieldName.empty()) return std::string();
    return trapped(
        [&] {
            const Object lines = recordDocument.call("selectSingleNode", "Data/quoterows").toObject();
            return lineValue(Variant(lines.getObject("childNodes").item(lineNumber - 1)), fieldName, fieldTag);
        },
        [](const Error&) { return std::string(); });
}

std::string HtmlText(std::string_view text) {
    // A value is the CRM's plain text: "Cable <2 m" or "R&D" must show as written in the
    // customer's quote, not be read as markup that swallows the rest of the cell. The
    // serialised line breaks become real ones first, so that escaping leaves them
    // recognisable; the other steps replace every occurrence, in this order, and the last, in
    // one pass, joins the two breaks of a CR LF pair into one.
    static constexpr std::pair<std::string_view, std::string_view> kSerialisedBreaks[] = {{"&#xD", "\r"}, {"&#xA", ""}};
    static constexpr std::pair<std::string_view, std::string_view> kSteps[] = {
        {"\r", "<br />"}, {"\n", "<br />"}, {"\t", "&nbsp;&nbsp;&nbsp;&nbsp;"}, {"  ", "&nbsp;&nbsp;"}, {"<br /><br />", "<br />"},
    };
    constexpr size_t kUnbounded = std::numeric_limits<size_t>::max();
    std::string out(text);
    for (const auto& [find, replacement] : kSerialisedBreaks) out = replacedWithin(out, find, replacement, kUnbounded);
    out = html::escapedText(out);
    for (const auto& [find, replacement] : kSteps) out = replacedWithin(out, find, replacement, kUnbounded);
    return out;
}

}  // namespace lumora::control
