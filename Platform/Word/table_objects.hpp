#pragma once
// Tables as script reaches them: the list, a table, its rows, columns and cells.

#include "word_objects.hpp"

namespace lumora::word {

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

}  // namespace lumora::word
