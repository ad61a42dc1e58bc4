// Saving a document: its edited parts serialized into a copy of the package, a template's
// main part declared a document's, a macro template's macros left behind, and text boxes'
// fallback copies made equal to their stories.

#include "Automation/error.hpp"
#include "docx_document.hpp"
#include "wordml.hpp"

namespace lumora::word {

namespace {

constexpr const char* kTemplateMain = "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml";
constexpr const char* kMacroTemplateMain = "application/vnd.ms-word.template.macroEnabledTemplate.main+xml";
constexpr const char* kDocumentMain = "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";

}  // namespace

bool DocxDocument::isTemplate() const {
    const std::string* types = m_package.find("[Content_Types].xml");
    return types && (types->find(kTemplateMain) != std::string::npos || types->find(kMacroTemplateMain) != std::string::npos);
}

void DocxDocument::syncTextFrameFallbacks() {
    for (auto& [frame, mirror] : m_fallbacks) {
        if (frame->part()->edits == 0) continue;
        while (mirror->children) frame->part()->discarded.take(mirror->children);
        for (xmlNode* child = frame->root()->children; child; child = child->next)
            xmlAddChild(mirror, ml::copy(child));
    }
}

namespace {

// Removes the child elements of a small package part (content types, relationships) that
// `drop` picks, and puts the part back.
template <class Drop>
void dropElements(Package& package, const std::string& name, Drop&& drop) {
    const std::string* bytes = package.find(name);
    if (!bytes) return;
    XmlPart part = parsePart(name, *bytes);
    for (xmlNode* child = ml::firstElement(xmlDocGetRootElement(part.doc.get())); child;) {
        xmlNode* next = ml::nextElement(child);
        if (drop(child)) ml::remove(child);
        child = next;
    }
    package.put(name, serializePart(part));
}

// A document made from a macro-enabled template is an ordinary document: the macros stay with
// the template, so its project, the parts naming it and their declarations go.
void dropMacros(Package& package, const std::string& mainName) {
    for (const char* part : {"word/vbaProject.bin", "word/vbaData.xml", "word/_rels/vbaProject.bin.rels"}) package.remove(part);
    dropElements(package, "[Content_Types].xml",
                 [](xmlNode* e) { return ml::attrIn(e, nullptr, "PartName").rfind("/word/vba", 0) == 0; });
    dropElements(package, Package::relationshipsOf(mainName), [](xmlNode* e) {
        const std::string type = ml::attrIn(e, nullptr, "Type");
        return type.size() >= 11 && type.compare(type.size() - 11, 11, "/vbaProject") == 0;
    });
}

}  // namespace

void DocxDocument::save(const std::filesystem::path& file) { packageAsSaved().writeAtomically(file); }

Package DocxDocument::packageAsSaved() {
    syncTextFrameFallbacks();
    Package out = m_package;
    for (const auto& part : m_parts)
        if (part->edits > 0) out.put(part->name, serializePart(*part));
    if (const std::string* types = out.find("[Content_Types].xml")) {
        const bool macroTemplate = types->find(kMacroTemplateMain) != std::string::npos;
        if (macroTemplate) dropMacros(out, m_mainName);
        std::string text = *out.find("[Content_Types].xml");
        for (auto [from, to] : {std::pair{kTemplateMain, kDocumentMain}, {kMacroTemplateMain, kDocumentMain}})
            for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
                text.replace(at, std::string_view(from).size(), to);
        out.put("[Content_Types].xml", std::move(text));
    }
    return out;
}

}  // namespace lumora::word
