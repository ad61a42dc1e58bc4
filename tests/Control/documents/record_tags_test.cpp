// The record document's tag data: the three tag lists both extractions build, the list data a
// seminar letter puts into a Word table, and hostile or broken documents handed to them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Control/documents/record_tags.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Xml/register.hpp"
#include "tests/Automation/error_matchers.hpp"
#include "tests/Control/support/fake_applications.hpp"

namespace lumora {
namespace {

using control::RecordTagLists;
using testing::fake;

Object xmlDocument(const std::string& text) {
    Object document = xml::createXmlDocument();
    document.call("loadXML", text);
    return document;
}

struct Entry {
    std::string tag, fieldName, value;
    bool operator==(const Entry&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Entry& e) {
    return out << "{" << e.tag << ", " << e.fieldName << ", " << e.value << "}";
}

class RecordTags : public ::testing::Test {
protected:
    std::vector<Entry> entries() const {
        EXPECT_EQ(tags.TagList.size(), tags.FieldNameList.size());
        EXPECT_EQ(tags.TagList.size(), tags.ValueList.size());
        std::vector<Entry> out;
        for (size_t i = 0; i < tags.TagList.size(); ++i)
            out.push_back({tags.TagList[i], tags.FieldNameList[i], tags.ValueList[i]});
        return out;
    }
    const std::vector<desktop::MessageBoxRecord>& boxes() const { return desktop.transcript().messageBoxes; }

    RecordTagLists tags;
    desktop::HeadlessDesktop desktop;
    desktop::ScopedDesktop scope{desktop};
};

const Entry kEmpty{"", "", ""};

TEST_F(RecordTags, SeminarLayoutResolvesTagsCaptionsAndValues) {
    Object doc = xmlDocument(R"(<record>
      <field name="company" templatetag="[label]" label="Company Name"/>
      <field name="town" label="Town"/>
      <field name="county" label=""/>
      <field name="hidden"/>
      <field name="price" templatetag="Price" templatetag2="[label]" label=""/>
      <field name="notes" templatetag="Notes"/>
      <other name="skipped" templatetag="Skipped"/>
      <Data>
        <d fieldname="company" displayvalue="Acme Ltd" value="ACME"/>
        <d fieldname="town" displayvalue="" value="Leeds"/>
        <d fieldname="county" value="Yorkshire"/>
        <d value="no field name"/>
        <d fieldname="price" displayvalue="Â£10" value="10"/>
        <d fieldname="price" displayvalue="second match"/>
      </Data>
    </record>)");
    control::ExtractRecordTagData(tags, doc);
    EXPECT_EQ(entries(), (std::vector<Entry>{{"<Company Name>", "company", "Acme Ltd"},
                                             {"<Town>", "town", "Leeds"},
                                             {"<county>", "county", "Yorkshire"},
                                             {"<Price>", "price", "£10"},
                                             {"<price>", "price", "£10"},
                                             {"<Notes>", "notes", ""},
                                             kEmpty, kEmpty, kEmpty}));  // n = 8 children: bounds 0 to 8
}

TEST_F(RecordTags, ListsGrowPastTheChildCountKeepingEarlierEntries) {
    // Four children give bounds 0 to 4; the sixth entry needs index 5.
    Object doc = xmlDocument(R"(<record>
      <field name="a" templatetag="A1" templatetag2="A2"/>
      <field name="b" templatetag="B1" templatetag2="B2"/>
      <field name="c" templatetag="C1" templatetag2="C2"/>
      <Data><x fieldname="b" value="vb"/></Data>
    </record>)");
    control::ExtractRecordTagData(tags, doc);
    EXPECT_EQ(entries(), (std::vector<Entry>{{"<A1>", "a", ""}, {"<A2>", "a", ""}, {"<B1>", "b", "vb"},
                                             {"<B2>", "b", "vb"}, {"<C1>", "c", ""}, {"<C2>", "c", ""}}));
}

TEST_F(RecordTags, LetterLayoutTakesRawValuesAndTheSecondTagAsWritten) {
    Object doc = xmlDocument(R"(<Data>
      <field name="total" templatetag="Total" templatetag2="[label]" label="Grand total"/>
      <field name="ref" label=""/>
      <Data><e fieldname="total" value="Â£99" displayvalue="ignored"/><e fieldname="ref" value="R-1"/></Data>
    </Data>)");
    control::ExtractTagData(tags, doc);
    EXPECT_EQ(entries(), (std::vector<Entry>{{"<Total>", "total", "Â£99"},
                                             {"<[label]>", "total", "Â£99"},
                                             {"<ref>", "ref", "R-1"},
                                             kEmpty}));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(RecordTags, LetterLayoutToldAValueMissingAndKeepsTheEntriesBeforeIt) {
    Object doc = xmlDocument(R"(<Data>
      <field name="first" templatetag="First"/>
      <field name="second" templatetag="Second"/>
      <field name="third" templatetag="Third"/>
      <Data><e fieldname="first" value="1"/><e fieldname="second"/></Data>
    </Data>)");
    control::ExtractTagData(tags, doc);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].request.text, "Error in ExtractTagData - Invalid use of Null at step Retrieving data for tag Second");
    EXPECT_EQ(boxes()[0].request.buttons, 0);
    EXPECT_EQ(entries(), (std::vector<Entry>{{"<First>", "first", "1"}, kEmpty, kEmpty, kEmpty, kEmpty}));
}

TEST_F(RecordTags, BrokenAndHostileDocumentsEndInTheFailureAndReadNothing) {
    const auto secret = std::filesystem::path(::testing::TempDir()) / "record_tags_secret.txt";
    std::ofstream(secret) << "TOP-SECRET";
    std::string bomb = "<!DOCTYPE Data [<!ENTITY e0 '" + std::string(64, 'a') + "'>";
    for (int level = 1; level <= 5; ++level) {
        bomb += "<!ENTITY e" + std::to_string(level) + " '";
        for (int i = 0; i < 16; ++i) bomb += "&e" + std::to_string(level - 1) + ";";
        bomb += "'>";
    }
    const std::string body = "<Data><field name='a' templatetag='A'/><Data><e fieldname='a' value='&VALUE;'/></Data></Data>";
    bomb += "<!ENTITY VALUE '&e5;'>]>" + body;
    // An entity naming a local file: the file is never read, the document never loads.
    const std::string external = "<!DOCTYPE Data [<!ENTITY VALUE SYSTEM 'file://" + secret.string() + "'>]>" + body;

    for (const std::string& text : {std::string("<Data><field name='a'"), bomb, external}) {
        tags = RecordTagLists{};
        desktop.takeTranscript();
        control::ExtractTagData(tags, xmlDocument(text));
        ASSERT_EQ(boxes().size(), 1u);
        EXPECT_EQ(boxes()[0].request.text,
                  "Error in ExtractTagData - Object variable or With block variable not set at step Setting root node");
        EXPECT_TRUE(tags.TagList.empty());
        EXPECT_AUTOMATION_ERROR(control::ExtractRecordTagData(tags, xmlDocument(text)), 91);
    }
}

TEST_F(RecordTags, CellTextLosesControlCharactersAndOuterBlanks) {
    EXPECT_EQ(control::CleanCellText("  <people_Name>\r\a"), "<people_Name>");
    EXPECT_EQ(control::CleanCellText("a\tb\x0b" "c\r\a"), "a b c");
}

const char* kSeminar = R"(<record>
  <listitemname listkey="people">
    <item><f templatetag="firstname" label="First name" value="Ann"/><f label="Surname" value="Ames"/></item>
    <item><f templatetag="FIRSTNAME" label="First name" value="Bob"/><f label="Surname" value="Brown"/>
          <f templatetag2="surname" label="Family" value="Baker"/></item>
  </listitemname>
  <listitemname listkey="o'neil"><item/></listitemname>
</record>)";

TEST_F(RecordTags, ListItemsAreFoundByTheHeaderTagsKey) {
    Object doc = xmlDocument(kSeminar);
    EXPECT_TRUE(control::FindListItems(doc, "<people>").sameAs(control::FindListItems(doc, "<people_Surname_x>")));
    EXPECT_EQ(control::FindListItems(doc, "<people>").call("getAttribute", "listkey").toString(), "people");
    EXPECT_TRUE(control::FindListItems(doc, "<nobody>").isNothing());
    EXPECT_FALSE(control::FindListItems(doc, "<o'neil_x>").isNothing());
}

// Word's table as far as the list fill uses it: cells whose range text ends in the end-of-cell
// mark, a column count, and rows that can be added at the end.
using Cells = std::vector<std::vector<std::string>>;
struct WordTable {
    Cells cells;  // [row][column], 0-based
    Object object;

    explicit WordTable(Cells rows) : cells(std::move(rows)) {
        auto table = fake("Table");
        auto columns = fake("Columns");
        columns->on("Count", [this](Args&) { return Variant(static_cast<int32_t>(cells[0].size())); });
        auto rowsObject = fake("Rows");
        rowsObject->on("Count", [this](Args&) { return Variant(static_cast<int32_t>(cells.size())); });
        rowsObject->on("Add", [this](Args&) {
            cells.emplace_back(cells[0].size());
            return Variant();
        });
        table->on("Columns", [columns](Args&) { return Variant(Object(columns)); });
        table->on("Rows", [rowsObject](Args&) { return Variant(Object(rowsObject)); });
        table->on("Cell", [this](Args& a) {
            std::string& text = cells.at(static_cast<size_t>(a[0].toI4() - 1)).at(static_cast<size_t>(a[1].toI4() - 1));
            auto range = fake("Range");
            range->on("Text", [&text](Args&) { return Variant(text + "\r\a"); }, MemberKind::PropertyGet);
            range->on("Text", [&text](Args& v) {
                text = v[v.size() - 1].toString();
                return Variant();
            }, MemberKind::PropertyPut);
            auto cell = fake("Cell");
            cell->on("Range", [range](Args&) { return Variant(Object(range)); });
            return Variant(Object(cell));
        });
        object = Object(table);
    }
};

TEST_F(RecordTags, ListTableGetsOneRowPerItemAndCaptionsInItsHeader) {
    Object doc = xmlDocument(kSeminar);
    WordTable table({{"<people_FirstName>", "<people_surname>", "Notes", "<people>"}});
    control::FillListTable(table.object, control::FindListItems(doc, "<people_FirstName>"));
    EXPECT_EQ(table.cells, (Cells{{"First name", "Surname", "Notes", "<people>"}, {"Ann", "Ames", "", ""},
                                  {"Bob", "Baker", "", ""}}));  // the last matching field wins

    // Rows beyond the items stay; a header without "_" names the list but keys no column.
    WordTable keyless({{"<people>", "Name"}, {"x", "y"}, {"", ""}, {"kept", "kept"}});
    control::FillListTable(keyless.object, control::FindListItems(doc, "<people>"));
    EXPECT_EQ(keyless.cells, (Cells{{"<people>", "Name"}, {"x", "y"}, {"", ""}, {"kept", "kept"}}));
}

}  // namespace
}  // namespace lumora
