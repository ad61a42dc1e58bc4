#include "style_sheet.hpp"

#include <libxml/tree.h>

#include <algorithm>
#include <set>

#include "part_relationships.hpp"
#include "wordml.hpp"

namespace lumora::word {

namespace {

constexpr const char* kDrawingMain = "http://schemas.openxmlformats.org/drawingml/2006/main";

std::optional<XmlPart> readPart(const Package& package, const std::string& name) {
    const std::string* bytes = package.find(name);
    if (!bytes) return std::nullopt;
    try {
        return parsePart(name, *bytes);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// The part of the main part's first relationship of that type, else the usual name.
std::string relatedPart(const Package& package, const PartRelationships& relationships, const char* type, const char* usual) {
    std::optional<std::string> named = relationships.partOfType(package, type);
    return named ? *named : usual;
}

xmlNode* drawingChild(const xmlNode* parent, std::string_view local) {
    for (xmlNode* child = parent ? parent->children : nullptr; child; child = child->next)
        if (ml::isIn(child, kDrawingMain, local)) return child;
    return nullptr;
}

// The Latin typefaces of the theme's major and minor fonts (ECMA-376-1, 20.1.4.1.24).
ThemeFonts themeFonts(const Package& package, const std::string& name) {
    ThemeFonts fonts;
    const std::optional<XmlPart> theme = readPart(package, name);
    if (!theme) return fonts;
    const xmlNode* scheme = drawingChild(drawingChild(xmlDocGetRootElement(theme->doc.get()), "themeElements"), "fontScheme");
    fonts.major = ml::attrIn(drawingChild(drawingChild(scheme, "majorFont"), "latin"), nullptr, "typeface");
    fonts.minor = ml::attrIn(drawingChild(drawingChild(scheme, "minorFont"), "latin"), nullptr, "typeface");
    return fonts;
}

}  // namespace

StyleSheet StyleSheet::read(const Package& package, const std::string& mainPart) {
    StyleSheet sheet;
    const PartRelationships relationships = PartRelationships::read(package, mainPart);
    sheet.m_theme = themeFonts(package, relatedPart(package, relationships, "theme", "word/theme/theme1.xml"));
    std::optional<XmlPart> styles = readPart(package, relatedPart(package, relationships, "styles", "word/styles.xml"));
    if (!styles) return sheet;
    sheet.m_styles.emplace(std::move(*styles));
    const xmlNode* root = xmlDocGetRootElement(sheet.m_styles->doc.get());
    if (!ml::is(root, "styles")) return sheet;
    const xmlNode* defaults = ml::firstChild(root, "docDefaults");
    sheet.m_runDefaults = ml::firstChild(ml::firstChild(defaults, "rPrDefault"), "rPr");
    sheet.m_paragraphDefaults = ml::firstChild(ml::firstChild(defaults, "pPrDefault"), "pPr");
    for (xmlNode* style = root->children; style; style = style->next)
        if (ml::is(style, "style")) sheet.m_byId.emplace(ml::attr(style, "styleId"), style);  // the first of an id wins
    return sheet;
}

const XmlNode* StyleSheet::defaultStyle(const char* type) const {
    if (!m_styles) return nullptr;
    for (xmlNode* style = xmlDocGetRootElement(m_styles->doc.get())->children; style; style = style->next)
        if (ml::is(style, "style") && ml::attr(style, "type") == type) {
            const std::string isDefault = ml::attr(style, "default");
            if (isDefault == "1" || isDefault == "true" || isDefault == "on") return style;
        }
    return nullptr;
}

std::vector<const XmlNode*> StyleSheet::chain(const std::string& id, const char* type) const {
    std::vector<const XmlNode*> styles;
    std::set<const XmlNode*> seen;
    std::string next = id;
    while (!next.empty() && styles.size() < static_cast<size_t>(kMaxStyleDepth)) {
        auto found = m_byId.find(next);
        if (found == m_byId.end() || ml::attr(found->second, "type") != type || !seen.insert(found->second).second) break;
        styles.push_back(found->second);
        next = ml::attr(ml::firstChild(found->second, "basedOn"), "val");
    }
    std::reverse(styles.begin(), styles.end());
    return styles;
}

const StyleSheet::ParagraphLook& StyleSheet::paragraphStyle(const std::string& id) {
    auto cached = m_paragraphLooks.find(id);
    if (cached != m_paragraphLooks.end()) return cached->second;
    ParagraphLook look{readParagraphFormat(m_paragraphDefaults), readRunFormat(m_runDefaults, m_theme)};
    std::vector<const XmlNode*> styles = chain(id, "paragraph");
    if (styles.empty())
        if (const XmlNode* fallback = defaultStyle("paragraph")) styles = chain(ml::attr(fallback, "styleId"), "paragraph");
    for (const XmlNode* style : styles) {
        look.paragraph.overlay(readParagraphFormat(ml::firstChild(style, "pPr")));
        look.run.overlay(readRunFormat(ml::firstChild(style, "rPr"), m_theme));
    }
    return m_paragraphLooks.emplace(id, std::move(look)).first->second;
}

const RunFormat& StyleSheet::characterStyle(const std::string& id) {
    auto cached = m_characterLooks.find(id);
    if (cached != m_characterLooks.end()) return cached->second;
    RunFormat format;
    for (const XmlNode* style : chain(id, "character")) format.overlay(readRunFormat(ml::firstChild(style, "rPr"), m_theme));
    return m_characterLooks.emplace(id, std::move(format)).first->second;
}

std::vector<const XmlNode*> StyleSheet::tableStyleProperties(const std::string& id) const {
    std::vector<const XmlNode*> styles = chain(id, "table");
    if (styles.empty())
        if (const XmlNode* fallback = defaultStyle("table")) styles = chain(ml::attr(fallback, "styleId"), "table");
    std::vector<const XmlNode*> properties;
    for (const XmlNode* style : styles)
        if (const XmlNode* tblPr = ml::firstChild(style, "tblPr")) properties.push_back(tblPr);
    return properties;
}

}  // namespace lumora::word
