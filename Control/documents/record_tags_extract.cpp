// The two extractions of the record document's tag data, and the attribute reading they share.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Automation/traps.hpp"
#include "Automation/vb/strings.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "record_tags.hpp"

namespace lumora::control {

namespace {

constexpr int32_t kElementNode = 1;
// The running index of the lists is a signed 16-bit count, as page script's integers are.
constexpr int32_t kLastListIndex = INT16_MAX;
constexpr std::string_view kLabelMarker = "[label]";

// The child nodes of a node, in document order.
std::vector<Object> childNodesOf(const Object& node) {
    std::vector<Object> children;
    for (const Variant& child : node.getObject("childNodes").elements()) children.push_back(child.toObject());
    return children;
}

bool isElement(const Object& node) { return node.get("nodeType").toI4() == kElementNode; }

// The three lists of the control, re-created for one extraction and written from index 0 up.
class TagListWriter {
public:
    // Every list gets upper bound `upperBound`, all slots empty.
    TagListWriter(RecordTagLists& lists, int32_t upperBound) : m_lists(lists) {
        const size_t slots = static_cast<size_t>(upperBound) + 1;
        m_lists.TagList.assign(slots, std::string());
        m_lists.FieldNameList.assign(slots, std::string());
        m_lists.ValueList.assign(slots, std::string());
    }

    void add(const std::string& fieldName, std::string_view tag, const std::string& value) {
        const size_t at = static_cast<size_t>(m_index);
        if (at >= m_lists.TagList.size()) {
            // Grown to the index needed, the entries already written kept.
            m_lists.TagList.resize(at + 1);
            m_lists.FieldNameList.resize(at + 1);
            m_lists.ValueList.resize(at + 1);
        }
        m_lists.FieldNameList[at] = fieldName;
        m_lists.TagList[at] = "<" + std::string(tag) + ">";
        m_lists.ValueList[at] = value;
        if (m_index == kLastListIndex) raise(RuntimeError::Overflow);
        ++m_index;
    }

private:
    RecordTagLists& m_lists;
    int32_t m_index = 0;
};

// The data entries of a container, each with its `fieldname` as a variant (Null when absent),
// read once per extraction. The container is read the first time a value is looked up, so a
// record without data entries fails only when a field needs a value.
class DataEntries {
public:
    explicit DataEntries(Object container) : m_container(std::move(container)) {}

    // The first entry whose `fieldname` equals the field's name as variants compare: equal text
    // matches, and an absent name on either side matches nothing. Nothing when none matches.
    Object find(const Variant& fieldName) {
        load();
        if (!fieldName.isString()) return Object();
        const auto found = m_entries.find(fieldName.str());
        return found == m_entries.end() ? Object() : found->second;
    }

private:
    void load() {
        if (m_loaded) return;
        for (const Object& entry : childNodesOf(m_container)) {
            // Only elements carry attributes; a comment among the entries is passed over.
            if (!isElement(entry)) continue;
            // Keyed by name, so a record of many fields is not searched through once per field;
            // the first entry of a name stays the one found, later ones of that name are passed over.
            const Variant name = entry.call("getAttribute", "fieldname");
            if (name.isString()) m_entries.try_emplace(name.str(), entry);
        }
        m_loaded = true;
    }

    Object m_container;
    std::unordered_map<std::string, Object> m_entries;
    bool m_loaded = false;
};

// The primary tag of a field definition: its `templatetag`, or for an empty tag or "[label]"
// the caption: the label when it is given, the field's name when the label is present but
// empty, nothing when the field has no label at all.
std::string primaryTag(const Object& field) {
    std::string tag = GetAttributeText(field, "templatetag");
    if (!tag.empty() && tag != kLabelMarker) return tag;
    const std::optional<std::string> label = attributeTextIfPresent(field, "label");
    if (!label) return std::string();
    return label->empty() ? GetAttributeText(field, "name") : *label;
}

// The seminar layout's second tag: "[label]" stands for the caption (label, else name).
std::string seminarSecondTag(const Object& field) {
    std::string tag = GetAttributeText(field, "templatetag2");
    if (tag != kLabelMarker) return tag;
    std::string label = GetAttributeText(field, "label");
    return label.empty() ? GetAttributeText(field, "name") : label;
}

// The seminar layout's value: the formatted value, or the raw one when that is empty.
std::string seminarValue(DataEntries& entries, const Object& field) {
    const Object entry = entries.find(field.call("getAttribute", "name"));
    if (entry.isNothing()) return std::string();
    std::string value = GetAttributeText(entry, "displayvalue");
    return value.empty() ? GetAttributeText(entry, "value") : value;
}

// The letter layout's value: the raw `value` as text, unrepaired. A matching entry without a
// value cannot give text (Invalid use of Null).
std::string letterValue(DataEntries& entries, const Object& field) {
    const Object entry = entries.find(field.call("getAttribute", "name"));
    if (entry.isNothing()) return std::string();
    return entry.call("getAttribute", "value").toString();
}

int32_t childCount(const Object& node) { return node.getObject("childNodes").get("length").toI4(); }

}  // namespace

std::optional<std::string> attributeTextIfPresent(const Object& element, std::string_view attributeName) {
    // An element answers by name directly, as its attribute list would: the list is not walked
    // (a wrapper made for every attribute) for each of the several attributes read per field.
    if (isElement(element)) {
        const Variant value = element.call("getAttribute", std::string(attributeName));
        if (value.isNull()) return std::nullopt;
        return vb::replace(value.toString(), "Â£", "£");
    }
    const Variant attributes = element.get("attributes");
    // Text and comment nodes have no attributes at all.
    if (!attributes.isObject() || attributes.toObject().isNothing()) return std::nullopt;
    for (const Variant& item : attributes.toObject().elements()) {
        const Object attribute = item.toObject();
        if (attribute.get("nodeName").toString() != attributeName) continue;
        // Pound signs that went through a Latin-1 reading of UTF-8 arrive as "Â£".
        return vb::replace(attribute.get("nodeValue").toString(), "Â£", "£");
    }
    return std::nullopt;
}

std::string GetAttributeText(const Object& element, std::string_view attributeName) {
    return attributeTextIfPresent(element, attributeName).value_or(std::string());
}

void ExtractRecordTagData(RecordTagLists& tags, const Object& recordDocument) {
    const Object root = recordDocument.call("selectSingleNode", "/record").toObject();
    DataEntries entries(recordDocument.call("selectSingleNode", "/record/Data").toObject());
    TagListWriter lists(tags, childCount(root));
    for (const Object& field : childNodesOf(root)) {
        if (field.get("nodeName").toString() != "field") continue;
        const std::string name = GetAttributeText(field, "name");
        if (const std::string tag = primaryTag(field); !tag.empty())
            lists.add(name, tag, seminarValue(entries, field));
        if (const std::string tag = seminarSecondTag(field); !tag.empty())
            lists.add(name, tag, seminarValue(entries, field));
    }
}

void ExtractTagData(RecordTagLists& tags, const Object& node) {
    StepText step;
    trapped(
        [&] {
            step = step::SettingRootNode;
            const Object root = node.call("selectSingleNode", "Data").toObject();
            DataEntries entries(node.call("selectSingleNode", "Data/Data").toObject());
            TagListWriter lists(tags, childCount(root));
            for (const Object& field : childNodesOf(root)) {
                if (field.get("nodeName").toString() != "field") continue;
                step = step::RetrievingTemplateTag;
                const std::string tag = primaryTag(field);
                step = std::string(step::RetrievingDataForTag) + tag;
                const std::string value = letterValue(entries, field);
                const std::string name = GetAttributeText(field, "name");
                step = std::string(step::SettingUpTagArray) + tag;
                if (!tag.empty()) lists.add(name, tag, value);
                step = std::string(step::SettingUpAlternateTagArray) + tag;
                if (const std::string second = GetAttributeText(field, "templatetag2"); !second.empty())
                    lists.add(name, second, value);
            }
        },
        [&](const Error& error) {
            tell(std::string(msg::ExtractTagDataFailedStart) + error.description() +
                 std::string(msg::ExtractTagDataFailedAtStep) + step.text());
        });
}

}  // namespace lumora::control
