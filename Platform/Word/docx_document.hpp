#pragma once
// A word-processing document read from a .docx, .dotx or .docm package: its parts parsed and
// edited in place, so markup the engine does not model is saved back untouched, and its
// stories (the main text, each section's headers and footers, the text boxes) and tables.

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "package.hpp"
#include "story.hpp"
#include "text_budget.hpp"
#include "xml_part.hpp"

namespace lumora::word {

class DocxDocument {
public:
    // Errors: those of Package::fromFile, NoMainDocument, BadPart.
    static std::unique_ptr<DocxDocument> open(const std::filesystem::path& file);
    static std::unique_ptr<DocxDocument> fromPackage(Package package, const std::string& label);

    Story& main() { return *m_main; }
    // The package as it was read (parts the engine edits are current only in their stories),
    // and the name of its main part.
    const Package& package() const { return m_package; }
    const std::string& mainPartName() const { return m_mainName; }

    // One section's header and footer stories by type (6 to 11); nullptr where the section
    // has none of its own.
    struct Section {
        std::array<Story*, 6> stories{};
        Story* story(int32_t type) const { return stories[static_cast<size_t>(type - kEvenPagesHeaderStory)]; }
    };
    const std::vector<Section>& sections() const { return m_sections; }

    // The text boxes anchored in a story, in document order.
    const std::vector<Story*>& textFrames(const Story& container) const;
    // The story after `story` among those of its type (the next section's header of the same
    // type, the next text box of the main text); nullptr after the last.
    Story* nextOfType(const Story& story) const;
    // Each story type present, with its first story: the main text, text boxes (5), headers
    // and footers (6 to 11).
    std::vector<Story*> firstStories() const;
    Story* storyOfType(int32_t type) const;

    // The top-level tables of the main text, in order.
    std::vector<XmlNode*> tables() const;
    // A table's rows, read again only after a structure edit, so Cell(r, c) down a long table
    // does not walk it from its first row each time.
    const std::vector<XmlNode*>& rowsOf(XmlNode* table);

    // Whether the main part is a template's (.dotx, .dotm).
    bool isTemplate() const;
    // Writes the package to file; a template's main part is declared a document's, as the word
    // processor does when a document made from a template is saved. Errors: FileNotWritten, 75.
    void save(const std::filesystem::path& file);
    // The package as save writes it.
    Package packageAsSaved();
    // Edits made since the document was read.
    uint64_t edits() const;
    void noteStructureEdit(Story& story);
    // A row added to a table of the story, its characters already counted by takeRoom.
    void noteRowAdded(Story& story, XmlNode* row, int64_t counted);

    // Takes an element (a table, a row, a field's markup) out of its part. It stays allocated
    // until the document goes, so a script object still naming it finds it detached rather
    // than freed.
    void discard(XmlNode* node);
    // Error 5825 unless the element is still part of the document.
    void checkPresent(const XmlNode* node) const;
    ~DocxDocument();

private:
    DocxDocument() = default;
    XmlPart& addPart(const std::string& name);
    void readHeadersAndFooters(const std::string& mainName);
    void collectTextFrames(Story& container);
    void syncTextFrameFallbacks();

    TextBudget m_textBudget;  // declared before the stories that count in it
    Package m_package;
    std::string m_mainName;
    std::vector<std::unique_ptr<XmlPart>> m_parts;
    std::vector<std::unique_ptr<Story>> m_stories;
    Story* m_main = nullptr;
    std::vector<Section> m_sections;
    std::vector<std::pair<const Story*, std::vector<Story*>>> m_frames;
    // A text box written twice (drawing and fallback picture): the fallback's copy is made
    // equal to the story's markup when saving.
    std::vector<std::pair<Story*, XmlNode*>> m_fallbacks;
    std::vector<XmlNode*> m_discarded;
    uint64_t m_structureEdits = 0;
    struct RowsRead {
        XmlNode* table = nullptr;
        uint64_t atStructureEdit = 0;
        std::vector<XmlNode*> rows;
    } m_rowsRead;
};

}  // namespace lumora::word
