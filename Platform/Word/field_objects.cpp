// Fields within a range: counted, their codes read, and unlinked into plain text. Both forms
// are served: the simple field element and the complex field of begin, instruction, separator,
// result and end characters.

#include "field_objects.hpp"

#include "Automation/error.hpp"
#include "Automation/vb/strings.hpp"
#include "merge_fields.hpp"
#include "script_constants.hpp"
#include "story_index.hpp"
#include "word_errors.hpp"
#include "wordml.hpp"

namespace lumora::word {

namespace {

bool isFieldChar(const xmlNode* run, const char* type) {
    const xmlNode* mark = ml::firstChild(run, "fldChar");
    return mark && ml::attr(mark, "fldCharType") == type;
}

void collectFields(xmlNode* node, std::vector<XmlNode*>& out) {
    for (xmlNode* child = node->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE || ml::is(child, "txbxContent")) continue;
        if (ml::is(child, "fldSimple") || (ml::is(child, "r") && isFieldChar(child, "begin"))) out.push_back(child);
        collectFields(child, out);
    }
}

xmlNode* paragraphOf(xmlNode* node) {
    while (node && !ml::is(node, "p")) node = node->parent;
    return node;
}

}  // namespace

Object TextSpan::fields() {
    Location& place = location();
    std::vector<XmlNode*> all;
    collectFields(place.story->root(), all);
    std::vector<XmlNode*> within;
    for (XmlNode* field : all)
        if (auto span = place.story->spanOf(paragraphOf(field));
            span && span->end > place.span->start && span->start < std::max(place.span->end, place.span->start + 1))
            within.push_back(field);
    return makeObject<FieldList>(std::static_pointer_cast<TextSpan>(shared_from_this()), std::move(within));
}

std::string FieldObject::code() const {
    m_range->docx().checkPresent(m_field);
    if (ml::is(m_field, "fldSimple")) return ml::attr(m_field, "instr");
    std::string code;
    bool instruction = true;
    for (xmlNode* node = m_field; node && instruction; node = node->next) {
        if (!ml::is(node, "r")) continue;
        if (isFieldChar(node, "separate") || isFieldChar(node, "end")) instruction = false;
        if (xmlNode* text = ml::firstChild(node, "instrText")) code += ml::text(text);
    }
    return code;
}

void FieldObject::unlink() {
    DocxDocument& docx = m_range->docx();
    docx.checkPresent(m_field);
    Story& story = m_range->story();
    if (ml::is(m_field, "fldSimple")) {
        while (xmlNode* child = m_field->children) {
            xmlUnlinkNode(child);
            xmlAddPrevSibling(m_field, child);
        }
        docx.discard(m_field);
    } else {
        // The result stays as plain runs; the field characters and the instruction go.
        bool inInstruction = true;
        std::vector<xmlNode*> drop;
        for (xmlNode* node = m_field; node; node = node->next) {
            if (!ml::is(node, "r")) continue;
            const bool separate = isFieldChar(node, "separate");
            const bool end = isFieldChar(node, "end");
            if (inInstruction || separate || end || ml::firstChild(node, "fldChar")) drop.push_back(node);
            if (separate) inInstruction = false;
            if (end) break;
        }
        for (xmlNode* node : drop) docx.discard(node);
    }
    docx.noteStructureEdit(story);
}

Object addMergeField(const Variant& range, std::string_view name) {
    TextSpan* span = range.isObject() ? range.toObject().as<TextSpan>() : nullptr;
    if (!span) raise(WordError::BadArgument, "a range is needed");
    auto target = std::static_pointer_cast<TextSpan>(span->shared_from_this());
    XmlNode* field = insertMergeField(*span, name);
    return makeObject<FieldObject>(std::move(target), field);
}

const TypeInfo& FieldList::typeInfo() const {
    using L = FieldList;
    static const TypeInfo info = [] {
        TypeInfo t("Fields");
        addCollectionMembers(t, kAutomationCollection);
        t.method<L>("Update", 0x64, {}, 0, [](L&, Args&) { return Variant(int32_t{0}); });
        // Merge fields only: Type 59 with the field name as Text, or no type and a MERGEFIELD code.
        t.method<L>("Add", 0x5, {"Range", "Type", "Text", "PreserveFormatting"}, 1, [](L&, Args& args) {
            const std::string text = args.has(2) ? args[2].toString() : std::string();
            if (args.has(1) && args[1].toI4() == kFieldMergeField) return Variant(addMergeField(args[0], vb::trim(text)));
            if (auto name = mergeFieldName(text); name && (!args.has(1) || args[1].toI4() == -1)) return Variant(addMergeField(args[0], *name));
            raise(WordError::BadArgument, "only merge fields can be added");
        });
        t.method<L>("Unlink", 0x65, {}, 0, [](L& list, Args&) {
            list.unlinkAll();
            return Variant();
        });
        return t;
    }();
    return info;
}

std::optional<Variant> FieldList::at(int32_t position) {
    if (position >= count()) return std::nullopt;
    return Variant(makeObject<FieldObject>(m_range, m_fields[static_cast<size_t>(position)]));
}

void FieldList::unlinkAll() {
    for (XmlNode* field : m_fields) FieldObject(m_range, field).unlink();
    m_fields.clear();
}

const TypeInfo& FieldObject::typeInfo() const {
    using F = FieldObject;
    static const TypeInfo info = [] {
        TypeInfo t("Field");
        t.getter<F>("Code", kDispIdValue, [](F& f) { return Variant(f.code()); });
        t.method<F>("Update", 0x6a, {}, 0, [](F&, Args&) { return Variant(true); });
        t.method<F>("Unlink", 0x6b, {}, 0, [](F& f, Args&) {
            f.unlink();
            return Variant();
        });
        return t;
    }();
    return info;
}

}  // namespace lumora::word
