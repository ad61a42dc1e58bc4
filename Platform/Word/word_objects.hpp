#pragma once
// The script objects of the word processor: the application, its documents, ranges and the
// selection, Find, tables, stories and text boxes. Every object holds the instance it belongs
// to, so a range kept by script keeps its document and application alive, as in the real
// application; ranges hold tracked spans that move with the document's edits.

#include <memory>
#include <optional>

#include "Automation/collection.hpp"
#include "Automation/object.hpp"
#include "word_instance.hpp"

namespace lumora::word {

using InstanceRef = std::shared_ptr<WordInstance>;

// Item(n) of a collection, 1-based; error 5941 outside it, as the word processor answers.
Variant memberAt(Collection& collection, const Variant& key);

// "Word.Application": Documents, Selection, Visible, Quit, ChangeFileOpenDirectory.
class WordApplication : public Dispatch {
public:
    WordApplication() : m_word(std::make_shared<WordInstance>()) {}
    const TypeInfo& typeInfo() const override;
    const InstanceRef& instance() const { return m_word; }

private:
    InstanceRef m_word;
};

// Documents: Count, Item (newest first), Add, Open.
class DocumentList : public Collection {
public:
    explicit DocumentList(InstanceRef word) : m_word(std::move(word)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override;
    std::optional<Variant> at(int32_t position) override;
    std::optional<Variant> named(std::string_view name) override;
    const InstanceRef& instance() const { return m_word; }

private:
    InstanceRef m_word;
};

class DocumentObject : public Dispatch {
public:
    DocumentObject(InstanceRef word, DocumentRef document) : m_word(std::move(word)), m_document(std::move(document)) {}
    const TypeInfo& typeInfo() const override;
    const InstanceRef& instance() const { return m_word; }
    const DocumentRef& document() const { return m_document; }
    DocxDocument& docx() const { return m_document->document(); }

    // SaveAs: the package whatever the extension, or HTML for format 8.
    void saveAs(const std::string& pagePath, const Variant& fileFormat);
    void exportPdf(const std::string& pagePath, const Variant& exportFormat);

private:
    InstanceRef m_word;
    DocumentRef m_document;
};

// What a range and the selection share: a place in a story and the members working on it.
class TextSpan : public Dispatch {
public:
    // The span's location now; for the selection, wherever it has moved.
    virtual Location& location() = 0;
    virtual FindSettings& findSettings() = 0;
    const InstanceRef& instance() const { return m_word; }

    int32_t start() { return location().span->start; }
    int32_t end() { return location().span->end; }
    Story& story() { return *location().story; }
    DocxDocument& docx() { return location().document->document(); }
    void setStart(int32_t start);
    void setEnd(int32_t end);
    std::string text();
    void setText(const std::string& text);
    // Replaces the span by text; the span then covers the new text.
    void replaceWith(const std::string& text);
    void deleteText(const Variant& unit, const Variant& count);
    int32_t moveStart(const Variant& unit, const Variant& count);
    int32_t moveEnd(const Variant& unit, const Variant& count);
    int32_t moveDown(const Variant& unit, const Variant& count, const Variant& extend);
    Variant information(int32_t type);
    void insertAfter(const std::string& text);
    void insertBefore(const std::string& text);
    void select();
    Object range();
    Object find();
    Object shapeRange();
    Object nextStoryRange();
    Object tables();
    Object fields();

protected:
    explicit TextSpan(InstanceRef word) : m_word(std::move(word)) {}
    int32_t moveEdge(bool startEdge, const Variant& unit, const Variant& count);
    // The members of Range and Selection alike, added to either table.
    template <class T>
    static void addSpanMembers(TypeInfo& t);

private:
    InstanceRef m_word;
};

class RangeObject : public TextSpan {
public:
    RangeObject(InstanceRef word, Location location) : TextSpan(std::move(word)), m_location(std::move(location)) {}
    const TypeInfo& typeInfo() const override;
    Location& location() override;
    FindSettings& findSettings() override { return m_find; }

private:
    Location m_location;
    FindSettings m_find;
};

// The application's selection: always where the instance's selection is now.
class SelectionObject : public TextSpan {
public:
    explicit SelectionObject(InstanceRef word) : TextSpan(std::move(word)) {}
    const TypeInfo& typeInfo() const override;
    Location& location() override { return instance()->selection(); }
    FindSettings& findSettings() override { return instance()->selectionFind(); }
    void typeText(const std::string& text);
};

// A range over a whole story, or any span of it.
Object makeRange(const InstanceRef& word, const DocumentRef& document, Story& story, int32_t start, int32_t end);

// Find on a range or the selection; Replacement shares its settings.
class FindObject : public Dispatch {
public:
    explicit FindObject(std::shared_ptr<TextSpan> target) : m_target(std::move(target)) {}
    const TypeInfo& typeInfo() const override;
    FindSettings& settings() { return m_target->findSettings(); }
    // Execute's arguments by position: FindText, MatchCase, MatchWholeWord, MatchWildcards,
    // MatchSoundsLike, MatchAllWordForms, Forward, Wrap, Format, ReplaceWith, Replace.
    bool execute(Args& args);
    const std::shared_ptr<TextSpan>& target() const { return m_target; }

private:
    std::shared_ptr<TextSpan> m_target;
};

class ReplacementObject : public Dispatch {
public:
    explicit ReplacementObject(std::shared_ptr<TextSpan> target) : m_target(std::move(target)) {}
    const TypeInfo& typeInfo() const override;
    FindSettings& settings() { return m_target->findSettings(); }

private:
    std::shared_ptr<TextSpan> m_target;
};

// Tables of the main text, or of a range.
class TableList : public Collection {
public:
    TableList(InstanceRef word, DocumentRef document, std::vector<XmlNode*> tables)
        : m_word(std::move(word)), m_document(std::move(document)), m_tables(std::move(tables)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override { return static_cast<int32_t>(m_tables.size()); }
    std::optional<Variant> at(int32_t position) override;
    Variant item(const Variant& key, const CollectionShape& shape) override;

private:
    InstanceRef m_word;
    DocumentRef m_document;
    std::vector<XmlNode*> m_tables;
};

// Table, its rows, row, columns and cell: all reach the document through one table element.
struct TablePlace {
    InstanceRef word;
    DocumentRef document;
    XmlNode* table = nullptr;
    // The document, once the element (the table when none is named) is known to be in it;
    // 5825 when it was deleted.
    DocxDocument& check(const XmlNode* element = nullptr) const;
    Object rangeOf(XmlNode* element) const;
};

class TableObject : public Dispatch {
public:
    explicit TableObject(TablePlace place) : m_place(std::move(place)) {}
    const TypeInfo& typeInfo() const override;
    const TablePlace& place() const { return m_place; }

private:
    TablePlace m_place;
};

class RowList : public Collection {
public:
    explicit RowList(TablePlace place) : m_place(std::move(place)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override;
    std::optional<Variant> at(int32_t position) override;
    Variant item(const Variant& key, const CollectionShape& shape) override;
    Object add(const Variant& before);
    const TablePlace& place() const { return m_place; }

private:
    TablePlace m_place;
};

class RowObject : public Dispatch {
public:
    RowObject(TablePlace place, XmlNode* row) : m_place(std::move(place)), m_row(row) {}
    const TypeInfo& typeInfo() const override;
    void remove();
    const TablePlace& place() const { return m_place; }
    XmlNode* row() const { return m_row; }

private:
    TablePlace m_place;
    XmlNode* m_row;
};

class ColumnList : public Dispatch {
public:
    explicit ColumnList(TablePlace place) : m_place(std::move(place)) {}
    const TypeInfo& typeInfo() const override;
    const TablePlace& place() const { return m_place; }

private:
    TablePlace m_place;
};

class CellObject : public Dispatch {
public:
    CellObject(TablePlace place, XmlNode* cell) : m_place(std::move(place)), m_cell(cell) {}
    const TypeInfo& typeInfo() const override;
    const TablePlace& place() const { return m_place; }
    XmlNode* cell() const { return m_cell; }

private:
    TablePlace m_place;
    XmlNode* m_cell;
};

// Document.StoryRanges: one range per story type present; Item(type).
class StoryRangeList : public Collection {
public:
    StoryRangeList(InstanceRef word, DocumentRef document) : m_word(std::move(word)), m_document(std::move(document)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override;
    std::optional<Variant> at(int32_t position) override;
    Variant item(const Variant& key, const CollectionShape& shape) override;

private:
    InstanceRef m_word;
    DocumentRef m_document;
};

// The text boxes anchored in a story: ShapeRange, each Shape, its TextFrame.
class ShapeList : public Collection {
public:
    ShapeList(InstanceRef word, DocumentRef document, std::vector<Story*> frames)
        : m_word(std::move(word)), m_document(std::move(document)), m_frames(std::move(frames)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override { return static_cast<int32_t>(m_frames.size()); }
    std::optional<Variant> at(int32_t position) override;

private:
    InstanceRef m_word;
    DocumentRef m_document;
    std::vector<Story*> m_frames;
};

class ShapeObject : public Dispatch {
public:
    // A text box's shape and its TextFrame answer alike.
    ShapeObject(InstanceRef word, DocumentRef document, Story* frame)
        : m_word(std::move(word)), m_document(std::move(document)), m_frame(frame) {}
    const TypeInfo& typeInfo() const override;
    Object textFrame() const;
    Object textRange() const;
    bool hasText() const;

private:
    InstanceRef m_word;
    DocumentRef m_document;
    Story* m_frame;
};

// Fields within a range.
class FieldList : public Collection {
public:
    FieldList(std::shared_ptr<TextSpan> range, std::vector<XmlNode*> fields)
        : m_range(std::move(range)), m_fields(std::move(fields)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override { return static_cast<int32_t>(m_fields.size()); }
    std::optional<Variant> at(int32_t position) override;
    void unlinkAll();

private:
    std::shared_ptr<TextSpan> m_range;
    std::vector<XmlNode*> m_fields;
};

class FieldObject : public Dispatch {
public:
    FieldObject(std::shared_ptr<TextSpan> range, XmlNode* field) : m_range(std::move(range)), m_field(field) {}
    const TypeInfo& typeInfo() const override;
    std::string code() const;
    void unlink();

private:
    std::shared_ptr<TextSpan> m_range;
    XmlNode* m_field;
};

}  // namespace lumora::word
