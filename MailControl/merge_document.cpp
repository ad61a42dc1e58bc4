#include "merge_document.hpp"

#include "Automation/traps.hpp"
#include "Automation/vb/strings.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "Platform/Word/script_constants.hpp"
#include "field_list_lookups.hpp"
#include "mail_errors.hpp"
#include "merge_tags.hpp"

namespace lumora::mail {

namespace {

constexpr std::string_view kDataSourceName = "CRMMergeData.doc";
// The Windows temporary path is read into a buffer of this many characters.
constexpr size_t kMaxTempPath = 255;

// Finds the tag again and again from the start of the document, each time putting a merge
// field of the data field's name in its place, until it is found no more.
void replaceTag(MailState& state, const std::string& tag, const std::string& dataField, const Object& wordApp,
                const Object& document) {
    while (true) {
        state.WordSelection = wordApp.getObject("selection");
        Object& selection = state.WordSelection;
        Object find = selection.getObject("Find");
        find.put("MatchCase", Variant(false));
        find.put("forward", Variant(true));
        find.put("wrap", Variant(word::kWrapContinue));
        find.put("Text", Variant(tag));
        find.call("Execute");
        if (!find.get("Found").toBool()) return;
        const Object selected = selection.getObject("Range");
        Object range = document.call("Range", Named{"Start", selected.get("Start")}, Named{"End", selected.get("End")})
                           .toObject();
        selection.release();
        Variant field = state.MergeFields.call("Add", Variant(range), Variant(dataField));
        range.getObject("Find").call("Execute", Named{"ReplaceWith", field});
        document.call("Select");
    }
}

}  // namespace

std::string BuildFieldList(const Object& recipients, const Object& fieldList, std::vector<std::string>& columns) {
    const Object model = recipients.getObject("selectSingleNode", "MAIL_CAMPAIGN").getObject("firstChild");
    columns.clear();
    std::string headerRecord;
    forEachElement(model, [&](const Object& field) {
        const std::string name = field.get("nodeName").toString();
        if (name == "fieldlist") return;
        const std::string header = GetMergeHeader(name, fieldList);
        headerRecord = columns.empty() ? header : headerRecord + "," + header;
        columns.push_back(name);
    });
    // The list always ends with one empty entry, as the array grown one index ahead leaves it.
    columns.emplace_back();
    return headerRecord;
}

void BuildMergeDoc(const MailState& state, const Object& recipients, const std::vector<std::string>& columns,
                   const Object& wordApp) {
    Object dataSource = wordApp.getObject("Documents").call("Open", state.DataSourcePath).toObject();
    Object table = dataSource.getObject("Tables").getObject("Item", 1);
    const Object campaign = recipients.getObject("selectSingleNode", "MAIL_CAMPAIGN");
    int32_t row = 0;
    forEachElement(campaign, [&](const Object& record) {
        if (record.get("nodeName").toString() == "fieldlist") return;
        for (size_t c = 0; c < columns.size(); ++c) {
            const std::string value = GetNodeText(record, columns[c]);
            if (value.empty()) continue;
            table.call("Cell", row + 2, static_cast<int32_t>(c + 1)).toObject().getObject("Range").call("InsertAfter", value);
        }
        ++row;
        table.getObject("rows").call("Add");
    });
    table.getObject("rows").getObject("Last").call("Delete");
    dataSource.call("save");
    dataSource.call("Close", Named{"SaveChanges", Variant(false)});
}

void SetTempFile(MailState& state) {
    auto failure = tryLocal([&] {
        state.TempFolder = vb::left(desktop::current().tempFolder(), kMaxTempPath);
        state.DataSourcePath = state.TempFolder + std::string(kDataSourceName);
    });
    if (failure) raise(MailError::DataSourcePath);
}

void ReplaceFieldTags(MailState& state, const std::string& dataField, const Object& fieldList,
                      const Object& wordApp, const Object& document) {
    replaceTag(state, "<" + GetFieldName(dataField, fieldList) + ">", dataField, wordApp, document);
    for (const std::string& extra : {GetTemplateTag(dataField, fieldList), GetTemplateTag2(dataField, fieldList)}) {
        const std::string tag = "<" + extra + ">";
        if (tag != "<>") replaceTag(state, tag, dataField, wordApp, document);
    }
}

}  // namespace lumora::mail
