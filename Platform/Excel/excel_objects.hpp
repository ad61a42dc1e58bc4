#pragma once
// The script objects of the spreadsheet stand-in: the application, its workbooks, their
// worksheets, cell ranges and fonts. Every object holds the instance it belongs to, so a
// workbook or a cell kept by script keeps its application alive, as in the real application;
// the objects within one workbook share its hold (see WorkbookHold).

#include <memory>
#include <optional>

#include "Automation/collection.hpp"
#include "Automation/object.hpp"
#include "excel_instance.hpp"

namespace lumora::excel {

using InstanceRef = std::shared_ptr<ExcelInstance>;
using HoldRef = std::shared_ptr<WorkbookHold>;

// "Excel.Application": Visible, Workbooks, Quit.
class ExcelApplication : public Dispatch {
public:
    ExcelApplication() : m_excel(std::make_shared<ExcelInstance>()) {}
    const TypeInfo& typeInfo() const override;
    const InstanceRef& instance() const { return m_excel; }

private:
    InstanceRef m_excel;
};

// Workbooks: Count, Item(index or name), Add, Open.
class WorkbookList : public Collection {
public:
    explicit WorkbookList(InstanceRef excel) : m_excel(std::move(excel)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override;
    std::optional<Variant> at(int32_t position) override;
    std::optional<Variant> named(std::string_view name) override;
    Object add();
    // A workbook for the user's file at a page path; shown as it is when the user sees Excel.
    // Errors: those of the path, 76 for a missing folder, 53 for a missing file, 70 unreadable.
    Object open(std::string_view pagePath);

private:
    InstanceRef m_excel;
};

class WorkbookObject : public Dispatch {
public:
    explicit WorkbookObject(HoldRef hold) : m_hold(std::move(hold)) {}
    const TypeInfo& typeInfo() const override;
    Object worksheets() const;
    const Workbook& workbook() const { return *m_hold->workbook(); }

private:
    HoldRef m_hold;
};

// Worksheets: Count, Item(index or name).
class WorksheetList : public Collection {
public:
    explicit WorksheetList(HoldRef hold) : m_hold(std::move(hold)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override;
    std::optional<Variant> at(int32_t position) override;
    std::optional<Variant> named(std::string_view name) override;

private:
    HoldRef m_hold;
};

class WorksheetObject : public Dispatch {
public:
    WorksheetObject(HoldRef hold, std::shared_ptr<Worksheet> sheet) : m_hold(std::move(hold)), m_sheet(std::move(sheet)) {}
    const TypeInfo& typeInfo() const override;
    // Every cell of the sheet, as a range whose Item(r, c) is one cell.
    Object cells() const;
    const Worksheet& sheet() const { return *m_sheet; }

private:
    HoldRef m_hold;
    std::shared_ptr<Worksheet> m_sheet;
};

// A range: one cell, or every cell of its sheet (the sheet's Cells). Item(r, c) counts from the
// range's top-left cell; Value, NumberFormat, Font and ColumnWidth belong to one cell.
class CellRange : public Dispatch {
public:
    CellRange(HoldRef hold, std::shared_ptr<Worksheet> sheet, std::optional<CellAddress> cell)
        : m_hold(std::move(hold)), m_sheet(std::move(sheet)), m_cell(cell) {}
    const TypeInfo& typeInfo() const override;

    Object item(const Variant& row, const Variant& column) const;
    Variant value() const { return m_sheet->value(cell()); }
    void setValue(const Variant& value) const {
        m_sheet->setValue(cell(), value, m_hold->instance()->numberConventions());
    }
    std::string numberFormat() const { return m_sheet->numberFormat(cell()); }
    Object font() const;
    double columnWidth() const { return m_sheet->columnWidth(cell().column); }
    void setColumnWidth(const Variant& width) const { m_sheet->setColumnWidth(cell().column, width.toR8()); }
    // The one cell; 1004 for the whole sheet.
    CellAddress cell() const;

private:
    HoldRef m_hold;
    std::shared_ptr<Worksheet> m_sheet;
    std::optional<CellAddress> m_cell;
};

class CellFont : public Dispatch {
public:
    CellFont(HoldRef hold, std::shared_ptr<Worksheet> sheet, CellAddress cell)
        : m_hold(std::move(hold)), m_sheet(std::move(sheet)), m_cell(cell) {}
    const TypeInfo& typeInfo() const override;
    bool bold() const { return m_sheet->bold(m_cell); }
    void setBold(bool bold) const { m_sheet->setBold(m_cell, bold); }

private:
    HoldRef m_hold;
    std::shared_ptr<Worksheet> m_sheet;
    CellAddress m_cell;
};

}  // namespace lumora::excel
