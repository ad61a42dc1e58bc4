// Tables, their rows, columns and cells.

#include "Automation/error.hpp"
#include "table_model.hpp"
#include "word_errors.hpp"
#include "table_objects.hpp"
#include "text_span.hpp"

namespace lumora::word {

DocxDocument& TablePlace::check(const XmlNode* element) const {
    DocxDocument& docx = document->document();
    docx.checkPresent(element ? element : table);
    return docx;
}

Object TablePlace::rangeOf(XmlNode* element) const {
    Story& main = check(element).main();
    const std::optional<Span> span = main.spanOf(element);
    if (!span) raise(WordError::NoSuchMember);
    return makeRange(word, document, main, span->start, span->end);
}

const TypeInfo& TableList::typeInfo() const {
    static const TypeInfo info = Collection::collectionTypeInfo("Tables", kAutomationCollection);
    return info;
}

std::optional<Variant> TableList::at(int32_t position) {
    if (position >= count()) return std::nullopt;
    return Variant(makeObject<TableObject>(TablePlace{m_word, m_document, m_tables[static_cast<size_t>(position)]}));
}

Variant TableList::item(const Variant& key, const CollectionShape&) { return memberAt(*this, key); }

const TypeInfo& TableObject::typeInfo() const {
    using T = TableObject;
    static const TypeInfo info = [] {
        TypeInfo t("Table");
        t.method<T>("Cell", 0x11, {"Row", "Column"}, 2, [](T& table, Args& args) {
            const TablePlace& place = table.place();
            const auto& rows = place.check().rowsOf(place.table);
            return Variant(makeObject<CellObject>(place, table::cell(rows, args[0].toI4(), args[1].toI4())));
        });
        t.getter<T>("Rows", 0x65, [](T& table) { return Variant(makeObject<RowList>(table.place())); });
        t.getter<T>("Columns", 0x64, [](T& table) { return Variant(makeObject<ColumnList>(table.place())); });
        t.getter<T>("Range", 0x0, [](T& table) { return Variant(table.place().rangeOf(table.place().table)); });
        t.method<T>("Delete", 0xc8, {}, 0, [](T& table, Args&) {
            DocxDocument& docx = table.place().check();
            docx.discard(table.place().table);
            docx.noteStructureEdit(docx.main());
            return Variant();
        });
        return t;
    }();
    return info;
}

const TypeInfo& RowList::typeInfo() const {
    using L = RowList;
    static const TypeInfo info = [] {
        TypeInfo t("Rows");
        addCollectionMembers(t, kAutomationCollection);
        t.method<L>("Add", 0x64, {"BeforeRow"}, 0, [](L& rows, Args& args) { return Variant(rows.add(args[0])); });
        t.getter<L>("First", 0x6a, [](L& rows) { return memberAt(rows, Variant(int32_t{1})); });
        t.getter<L>("Last", 0x6b, [](L& rows) { return memberAt(rows, Variant(rows.count())); });
        return t;
    }();
    return info;
}

int32_t RowList::count() { return static_cast<int32_t>(m_place.check().rowsOf(m_place.table).size()); }

std::optional<Variant> RowList::at(int32_t position) {
    const auto& rows = m_place.check().rowsOf(m_place.table);
    if (position >= static_cast<int32_t>(rows.size())) return std::nullopt;
    return Variant(makeObject<RowObject>(m_place, rows[static_cast<size_t>(position)]));
}

Variant RowList::item(const Variant& key, const CollectionShape&) { return memberAt(*this, key); }

Object RowList::add(const Variant& before) {
    DocxDocument& docx = m_place.check();
    XmlNode* beforeRow = nullptr;
    if (!before.isAbsent()) {
        const Object row = before.toObject();
        if (!row.as<RowObject>()) raise(RuntimeError::TypeMismatch);
        beforeRow = row.as<RowObject>()->row();
        docx.checkPresent(beforeRow);
    }
    // Each of the new row's cells is an empty paragraph ending its cell: two characters.
    const int64_t characters = 2 * static_cast<int64_t>(table::cells(table::modelRow(m_place.table, beforeRow)).size());
    docx.main().takeRoom(characters);
    XmlNode* row = table::addRow(m_place.table, beforeRow);
    docx.noteRowAdded(docx.main(), row, characters);
    return makeObject<RowObject>(m_place, row);
}

void RowObject::remove() {
    DocxDocument& docx = m_place.check(m_row);
    // The last row goes with its table, as a table cannot be left without rows.
    docx.discard(docx.rowsOf(m_place.table).size() == 1 ? m_place.table : m_row);
    docx.noteStructureEdit(docx.main());
}

const TypeInfo& RowObject::typeInfo() const {
    using R = RowObject;
    static const TypeInfo info = [] {
        TypeInfo t("Row");
        t.method<R>("Delete", 0xc8, {}, 0, [](R& row, Args&) {
            row.remove();
            return Variant();
        });
        t.getter<R>("Range", 0x0, [](R& row) { return Variant(row.place().rangeOf(row.row())); });
        t.getter<R>("Index", 0x2, [](R& row) {
            const auto& rows = row.place().check(row.row()).rowsOf(row.place().table);
            return Variant(static_cast<int32_t>(std::find(rows.begin(), rows.end(), row.row()) - rows.begin()) + 1);
        });
        return t;
    }();
    return info;
}

const TypeInfo& ColumnList::typeInfo() const {
    using C = ColumnList;
    static const TypeInfo info = [] {
        TypeInfo t("Columns");
        t.getter<C>("Count", 0x2, [](C& columns) {
            columns.place().check();
            return Variant(table::columnCount(columns.place().table));
        });
        return t;
    }();
    return info;
}

const TypeInfo& CellObject::typeInfo() const {
    using C = CellObject;
    static const TypeInfo info = [] {
        TypeInfo t("Cell");
        t.getter<C>("Range", 0x0, [](C& cell) { return Variant(cell.place().rangeOf(cell.cell())); });
        return t;
    }();
    return info;
}

}  // namespace lumora::word
