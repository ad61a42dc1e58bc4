// Worksheets, their cells and the cells' fonts.

#include "Automation/vb/strings.hpp"
#include "excel_errors.hpp"
#include "excel_objects.hpp"

namespace lumora::excel {

const TypeInfo& WorksheetList::typeInfo() const {
    static const TypeInfo info = Collection::collectionTypeInfo("Sheets", kAutomationCollection);
    return info;
}

int32_t WorksheetList::count() { return static_cast<int32_t>(m_hold->workbook()->sheets.size()); }

std::optional<Variant> WorksheetList::at(int32_t position) {
    if (position >= count()) return std::nullopt;
    return Variant(makeObject<WorksheetObject>(m_hold, m_hold->workbook()->sheets[static_cast<size_t>(position)]));
}

std::optional<Variant> WorksheetList::named(std::string_view name) {
    for (const auto& sheet : m_hold->workbook()->sheets)
        if (vb::equalsNoCase(sheet->name(), name)) return Variant(makeObject<WorksheetObject>(m_hold, sheet));
    raise(RuntimeError::SubscriptOutOfRange);
}

const TypeInfo& WorksheetObject::typeInfo() const {
    using S = WorksheetObject;
    static const TypeInfo info = [] {
        TypeInfo t("Worksheet");
        t.getter<S>("Name", 0x6e, [](S& s) { return Variant(s.sheet().name()); });
        // Cells, or Cells(r, c) for one cell.
        t.indexedGetter<S>("Cells", 0xee, {"RowIndex", "ColumnIndex"}, 0, [](S& s, Args& args) {
            const Object cells = s.cells();
            if (!args.has(0)) return Variant(cells);
            return Variant(cells.as<CellRange>()->item(args[0], args[1]));
        });
        return t;
    }();
    return info;
}

Object WorksheetObject::cells() const { return makeObject<CellRange>(m_hold, m_sheet, std::nullopt); }

const TypeInfo& CellRange::typeInfo() const {
    using R = CellRange;
    static const TypeInfo info = [] {
        TypeInfo t("Range");
        t.indexedGetter<R>("Item", 0xaa, {"RowIndex", "ColumnIndex"}, 1,
                           [](R& r, Args& args) { return Variant(r.item(args[0], args[1])); });
        // cell(r, c) reaches Item, cell alone its Value, and cell = v writes the Value.
        t.defaultGetter<R>("_Default", {"RowIndex", "ColumnIndex"}, 0, [](R& r, Args& args) {
            return args.has(0) ? Variant(r.item(args[0], args[1])) : r.value();
        });
        t.defaultSetter<R>({"value"}, 1, [](R& r, Args& args) {
            r.setValue(args[0]);
            return Variant();
        }, "_Default");
        t.getter<R>("Value", 6, [](R& r) { return r.value(); });
        t.setter<R>("Value", 6, [](R& r, const Variant& v) { r.setValue(v); });
        t.getter<R>("NumberFormat", 0xc1, [](R& r) { return Variant(r.numberFormat()); });
        t.getter<R>("Font", 0x92, [](R& r) { return Variant(r.font()); });
        t.getter<R>("ColumnWidth", 0xf2, [](R& r) { return Variant(r.columnWidth()); });
        t.setter<R>("ColumnWidth", 0xf2, [](R& r, const Variant& v) { r.setColumnWidth(v); });
        t.getter<R>("Row", 0x101, [](R& r) { return Variant(r.cell().row); });
        t.getter<R>("Column", 0xf0, [](R& r) { return Variant(r.cell().column); });
        return t;
    }();
    return info;
}

Object CellRange::item(const Variant& row, const Variant& column) const {
    const CellAddress origin = m_cell.value_or(CellAddress{});
    // A column left out counts as the first, as Item(r) reads across a one-column range.
    const int64_t columnIndex = column.isAbsent() ? 1 : column.toI4();
    const CellAddress address =
        Worksheet::checkedAddress(origin.row + int64_t{row.toI4()} - 1, origin.column + columnIndex - 1);
    return makeObject<CellRange>(m_hold, m_sheet, address);
}

CellAddress CellRange::cell() const {
    if (!m_cell) raise(ExcelError::WholeSheetValue);
    return *m_cell;
}

Object CellRange::font() const { return makeObject<CellFont>(m_hold, m_sheet, cell()); }

const TypeInfo& CellFont::typeInfo() const {
    using F = CellFont;
    static const TypeInfo info = [] {
        TypeInfo t("Font");
        t.getter<F>("Bold", 0x60, [](F& f) { return Variant(f.bold()); });
        t.setter<F>("Bold", 0x60, [](F& f, const Variant& v) { f.setBold(v.toBool()); });
        return t;
    }();
    return info;
}

}  // namespace lumora::excel
