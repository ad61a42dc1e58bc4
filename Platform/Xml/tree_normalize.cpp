#include "tree_normalize.hpp"

#include <libxml/entities.h>
#include <libxml/tree.h>

#include <string>
#include <utility>
#include <vector>

#include "limits.hpp"

namespace lumora::xml {

namespace {

bool isBlank(const xmlChar* text) {
    if (!text) return true;
    for (; *text; ++text)
        if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n') return false;
    return true;
}

class Normalizer {
public:
    Normalizer(xmlDocPtr doc, Whitespace whitespace, size_t budget)
        : m_doc(doc), m_whitespace(whitespace), m_budget(budget) {}

    std::optional<ParseFailure> run() {
        std::vector<std::pair<xmlNodePtr, int>> pending;
        for (xmlNodePtr child = m_doc->children; child; child = child->next)
            if (child->type == XML_ELEMENT_NODE) pending.emplace_back(child, 1);
        while (!pending.empty()) {
            auto [element, depth] = pending.back();
            pending.pop_back();
            if (depth > kMaxDepth)
                return failure(kDocumentTooDeep, "The document is nested deeper than the allowed 256 levels");
            for (xmlAttrPtr attr = element->properties; attr; attr = attr->next)
                if (!expandAttribute(attr)) return expansionFailure();
            if (!expandChildren(element)) return expansionFailure();
            mergeAndStrip(element);
            for (xmlNodePtr child = element->children; child; child = child->next)
                if (child->type == XML_ELEMENT_NODE) pending.emplace_back(child, depth + 1);
        }
        return std::nullopt;
    }

private:
    static std::optional<ParseFailure> failure(int32_t code, std::string reason) {
        ParseFailure f = failureWithoutPosition(std::move(reason));
        f.errorCode = code;
        return f;
    }
    static std::optional<ParseFailure> expansionFailure() {
        return failure(kExpansionTooLarge, "Entity references expand beyond the allowed size");
    }

    // A copy of an internal entity's content, or null for external and undeclared entities,
    // whose content is never read. False when the budget is spent.
    bool contentOf(xmlNodePtr ref, xmlNodePtr& copy) {
        copy = nullptr;
        xmlEntityPtr entity = xmlGetDocEntity(m_doc, ref->name);
        if (!entity || entity->etype != XML_INTERNAL_GENERAL_ENTITY) return charge(16);
        if (!charge(static_cast<size_t>(entity->length) + 16)) return false;
        if (entity->children)
            copy = xmlDocCopyNodeList(m_doc, entity->children);
        else if (entity->content)
            copy = xmlStringGetNodeList(m_doc, entity->content);
        return true;
    }

    bool charge(size_t cost) {
        if (cost > m_budget) return false;
        m_budget -= cost;
        return true;
    }

    // Replaces each entity reference among parent's children by its content, in place; content
    // that holds further references is processed by the same loop as it is reached.
    bool expandChildren(xmlNodePtr parent) {
        xmlNodePtr child = parent->children;
        while (child) {
            if (child->type != XML_ENTITY_REF_NODE) {
                child = child->next;
                continue;
            }
            xmlNodePtr content = nullptr;
            if (!contentOf(child, content)) return false;
            xmlNodePtr resume = content ? content : child->next;
            spliceInPlaceOf(parent, child, content);
            child = resume;
        }
        return true;
    }

    void spliceInPlaceOf(xmlNodePtr parent, xmlNodePtr ref, xmlNodePtr list) {
        xmlNodePtr prev = ref->prev;
        xmlNodePtr next = ref->next;
        xmlNodePtr last = list;
        for (xmlNodePtr n = list; n; n = n->next) {
            n->parent = parent;
            last = n;
        }
        if (!list) {
            list = next;
            last = prev;
        } else {
            list->prev = prev;
            last->next = next;
        }
        if (prev) prev->next = list ? list : next; else parent->children = list ? list : next;
        if (next) next->prev = last; else parent->last = last;
        ref->prev = ref->next = ref->parent = nullptr;
        xmlFreeNode(ref);
    }

    bool expandAttribute(xmlAttrPtr attr) {
        bool hasReference = false;
        for (xmlNodePtr c = attr->children; c; c = c->next)
            if (c->type == XML_ENTITY_REF_NODE) hasReference = true;
        if (!hasReference) return true;
        if (!expandChildren(reinterpret_cast<xmlNodePtr>(attr))) return false;
        std::string value;
        for (xmlNodePtr c = attr->children; c; c = c->next)
            if (c->content) value += reinterpret_cast<const char*>(c->content);
        xmlFreeNodeList(attr->children);
        xmlNodePtr text = xmlNewDocText(m_doc, reinterpret_cast<const xmlChar*>(value.c_str()));
        text->parent = reinterpret_cast<xmlNodePtr>(attr);
        attr->children = attr->last = text;
        return true;
    }

    // Joins neighbouring text nodes left by the expansion and drops whitespace-only ones,
    // except inside xml:space="preserve".
    void mergeAndStrip(xmlNodePtr element) {
        bool strip = m_whitespace == Whitespace::Drop && xmlNodeGetSpacePreserve(element) != 1;
        xmlNodePtr child = element->children;
        while (child) {
            xmlNodePtr next = child->next;
            if (child->type == XML_TEXT_NODE && next && next->type == XML_TEXT_NODE && child->name == next->name) {
                xmlNodeAddContent(child, next->content);
                xmlUnlinkNode(next);
                xmlFreeNode(next);
                continue;
            }
            if (strip && child->type == XML_TEXT_NODE && isBlank(child->content)) {
                xmlUnlinkNode(child);
                xmlFreeNode(child);
            }
            child = next;
        }
    }

    xmlDocPtr m_doc;
    Whitespace m_whitespace;
    size_t m_budget;
};

}  // namespace

std::optional<ParseFailure> normalizeTree(XmlDoc* doc, Whitespace whitespace, size_t expansionBudget) {
    if (!doc) return std::nullopt;
    return Normalizer(doc, whitespace, expansionBudget).run();
}

}  // namespace lumora::xml
