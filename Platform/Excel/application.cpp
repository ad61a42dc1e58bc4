// The application and its workbooks.

#include <unistd.h>

#include "Automation/error.hpp"
#include "Automation/vb/strings.hpp"
#include "Platform/Files/page_path.hpp"
#include "excel_objects.hpp"

namespace lumora::excel {

const TypeInfo& ExcelApplication::typeInfo() const {
    using A = ExcelApplication;
    static const TypeInfo info = [] {
        TypeInfo t("Application");
        t.getter<A>("Visible", 0x22e, [](A& a) { return Variant(a.instance()->visible()); });
        t.setter<A>("Visible", 0x22e, [](A& a, const Variant& v) { a.instance()->setVisible(v.toBool()); });
        t.indexedGetter<A>("Workbooks", 0x23c, {"Index"}, 0, [](A& a, Args& args) {
            return Collection::collectionOrItem(makeObject<WorkbookList>(a.instance()), args);
        });
        t.method<A>("Quit", 0x12e, {}, 0, [](A& a, Args&) {
            a.instance()->quit();
            return Variant();
        });
        return t;
    }();
    return info;
}

const TypeInfo& WorkbookList::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("Workbooks");
        addCollectionMembers(t, kAutomationCollection);
        // A template argument is accepted and not used: every new workbook starts empty.
        t.method<WorkbookList>("Add", 0xb5, {"Template"}, 0, [](WorkbookList& list, Args&) { return Variant(list.add()); });
        t.method<WorkbookList>("Open", 0x2aa, {"Filename"}, 1,
                               [](WorkbookList& list, Args& args) { return Variant(list.open(args[0].toString())); });
        return t;
    }();
    return info;
}

int32_t WorkbookList::count() { return static_cast<int32_t>(m_excel->workbooks().size()); }

std::optional<Variant> WorkbookList::at(int32_t position) {
    const auto& workbooks = m_excel->workbooks();
    if (position >= static_cast<int32_t>(workbooks.size())) return std::nullopt;
    return Variant(makeObject<WorkbookObject>(WorkbookHold::of(m_excel, workbooks[static_cast<size_t>(position)])));
}

std::optional<Variant> WorkbookList::named(std::string_view name) {
    for (const auto& workbook : m_excel->workbooks())
        if (vb::equalsNoCase(workbook->name, name)) return Variant(makeObject<WorkbookObject>(WorkbookHold::of(m_excel, workbook)));
    raise(RuntimeError::SubscriptOutOfRange);
}

Object WorkbookList::add() { return makeObject<WorkbookObject>(WorkbookHold::of(m_excel, m_excel->addWorkbook())); }

Object WorkbookList::open(std::string_view pagePath) {
    const std::filesystem::path file = files::resolvePagePath(pagePath).local;
    std::error_code error;
    if (!std::filesystem::is_directory(file.parent_path(), error)) raise(RuntimeError::PathNotFound);
    if (!std::filesystem::is_regular_file(file, error)) raise(RuntimeError::FileNotFound);
    if (access(file.c_str(), R_OK) != 0) raise(RuntimeError::PermissionDenied);
    return makeObject<WorkbookObject>(WorkbookHold::of(m_excel, m_excel->openWorkbook(file)));
}

const TypeInfo& WorkbookObject::typeInfo() const {
    using W = WorkbookObject;
    static const TypeInfo info = [] {
        TypeInfo t("Workbook");
        t.getter<W>("Name", 0x6e, [](W& w) { return Variant(w.workbook().name); });
        for (auto [name, id] : {std::pair{"Worksheets", 0x1ee}, {"Sheets", 0x1e5}})
            t.indexedGetter<W>(name, id, {"Index"}, 0,
                               [](W& w, Args& args) { return Collection::collectionOrItem(w.worksheets(), args); });
        return t;
    }();
    return info;
}

Object WorkbookObject::worksheets() const { return makeObject<WorksheetList>(m_hold); }

}  // namespace lumora::excel
