#pragma once
// A document's styles (styles.xml) resolved as the word processor resolves them: the document
// defaults, then a style's basedOn chain from its root down to itself. Chains are followed at
// most kMaxStyleDepth deep and a style met twice ends its chain, so a loop or an endless chain
// in a hostile file costs nothing. Parts that are missing or cannot be read are taken as
// empty: the text keeps its direct formatting. Resolutions are kept, so a long document asks
// for each style once.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "package.hpp"
#include "word_formats.hpp"
#include "xml_part.hpp"

namespace lumora::word {

inline constexpr int kMaxStyleDepth = 32;

class StyleSheet {
public:
    // The styles and theme that the main part's relationships name.
    static StyleSheet read(const Package& package, const std::string& mainPart);

    const ThemeFonts& theme() const { return m_theme; }

    // The look a paragraph of that style starts from: document defaults and the style's chain
    // (the default paragraph style when the id is empty or names no paragraph style).
    struct ParagraphLook {
        ParagraphFormat paragraph;
        RunFormat run;
    };
    const ParagraphLook& paragraphStyle(const std::string& id);
    // A character style's run properties through its chain; nothing for an unknown id.
    const RunFormat& characterStyle(const std::string& id);
    // The w:tblPr of each table style in the chain, root first (the default table style when
    // the id is empty or unknown).
    std::vector<const XmlNode*> tableStyleProperties(const std::string& id) const;

private:
    std::vector<const XmlNode*> chain(const std::string& id, const char* type) const;
    const XmlNode* defaultStyle(const char* type) const;

    std::optional<XmlPart> m_styles;
    ThemeFonts m_theme;
    std::map<std::string, const XmlNode*, std::less<>> m_byId;
    const XmlNode* m_runDefaults = nullptr;
    const XmlNode* m_paragraphDefaults = nullptr;
    std::map<std::string, ParagraphLook, std::less<>> m_paragraphLooks;
    std::map<std::string, RunFormat, std::less<>> m_characterLooks;
};

}  // namespace lumora::word
