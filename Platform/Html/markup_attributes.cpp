#include "markup_attributes.hpp"

#include <algorithm>

#include "Automation/vb/text.hpp"
#include "gumbo_tree.hpp"
#include "serializer.hpp"

namespace lumora::html {

namespace {

WrittenElement writtenElement(const GumboElement& element, std::string_view markup) {
    WrittenElement into{elementName(element), {}};
    for (unsigned i = 0; i < element.attributes.length; ++i) {
        const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
        WrittenAttribute written{vb::asciiLower(attribute->name), attribute->value};
        // The written value points into the markup, except for an attribute the parser made
        // itself; such a one, like one without a value (whose "value" gumbo points at its
        // name), has nothing to edit.
        const GumboStringPiece& original = attribute->original_value;
        if (original.length > 0 && original.data != attribute->original_name.data && original.data >= markup.data() &&
            original.data + original.length <= markup.data() + markup.size()) {
            written.valueOffset = static_cast<size_t>(original.data - markup.data());
            written.valueLength = original.length;
        }
        into.attributes.push_back(std::move(written));
    }
    return into;
}

}  // namespace

const WrittenAttribute* WrittenElement::attribute(std::string_view attributeName) const {
    for (const WrittenAttribute& candidate : attributes)
        if (candidate.name == attributeName) return &candidate;
    return nullptr;
}

std::vector<WrittenElement> elementsWithAttributes(std::string_view markup, const MarkupLimits& limits) {
    const GumboParse parse(markup, limits);
    std::vector<WrittenElement> elements;
    // Depth first in document order, with a stack of its own: the limits bound the depth, not
    // the thread's stack.
    std::vector<const GumboNode*> pending{&parse.document()};
    while (!pending.empty()) {
        const GumboNode* node = pending.back();
        pending.pop_back();
        if ((node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) &&
            node->v.element.attributes.length > 0)
            elements.push_back(writtenElement(node->v.element, markup));
        if (const GumboVector* children = childrenOf(*node))
            for (unsigned i = children->length; i-- > 0;) pending.push_back(static_cast<const GumboNode*>(children->data[i]));
    }
    return elements;
}

std::string withAttributeValues(std::string_view markup, std::vector<AttributeEdit> edits) {
    std::sort(edits.begin(), edits.end(),
              [](const AttributeEdit& a, const AttributeEdit& b) { return a.valueOffset < b.valueOffset; });
    std::string out;
    out.reserve(markup.size());
    size_t copied = 0;
    for (const AttributeEdit& edit : edits) {
        if (edit.valueLength == 0 || edit.valueOffset < copied || edit.valueOffset > markup.size() ||
            edit.valueLength > markup.size() - edit.valueOffset)
            continue;
        out.append(markup.substr(copied, edit.valueOffset - copied));
        appendAttributeValue(out, edit.value);
        copied = edit.valueOffset + edit.valueLength;
    }
    out.append(markup.substr(copied));
    return out;
}

}  // namespace lumora::html
