// Letter campaigns in the progress window on the headless desktop with the real XML and word
// processor stand-ins: the merge data file's exact lines (read back by Python's csv module), the
// window's states as the transcript records them, cancel at the checkpoints, "Details..." and the
// failure label for bad input, and nothing half-written left behind.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <tuple>

#include "letter_campaign_fixture.hpp"
#include "tests/support/support_commands.hpp"

namespace lumora {
namespace {

namespace fs = std::filesystem;
using desktop::WindowRecord;

const std::string kFieldList = R"(<fieldlist>
    <f fieldname="FirstName" mergeheader="First"/>
    <f fieldname="Company" mergeheader="Company" templatetag="Firm"/>
    <f fieldname="City" mergeheader="Town" templatetag="Place" templatetag2="Location"/></fieldlist>)";

std::string campaign(const std::string& records, const std::string& fieldList = kFieldList) {
    return "<MAIL_CAMPAIGN>" + fieldList + records + "</MAIL_CAMPAIGN>";
}

class MergeWindowTest : public testing::LetterCampaignTest {
protected:
    void SetUp() override {
        LetterCampaignTest::SetUp();
        install("Word.Application");
        writeTemplate("<w:p><w:r><w:t>Dear &lt;FirstName&gt; of &lt;firm&gt;</w:t></w:r></w:p>");
    }

    std::string runMerge(const std::string& markup, const std::string& templateFile) {
        return runLetterCampaign(markup, templateFile, "1");
    }
    void click(const std::string& button, int32_t afterPumps) {
        desktop().queueClick({"frmMergeProgress", button, afterPumps});
    }
    const WindowRecord& window() {
        EXPECT_FALSE(desktop().transcript().windows.empty());
        return desktop().transcript().windows.back();
    }
    static std::string caption(const desktop::WindowSpec& look, const std::string& name) {
        for (const auto& label : look.labels)
            if (label.name == name) return label.caption;
        return "?";
    }
    static const desktop::WindowButton& button(const desktop::WindowSpec& look, const std::string& name) {
        for (const auto& each : look.buttons)
            if (each.name == name) return each;
        throw std::runtime_error("no button " + name);
    }
    // Every caption lblProgress2 showed, in order.
    std::vector<std::string> progressSteps() {
        std::vector<std::string> steps;
        for (const auto& update : window().updates)
            for (const auto& label : update.labels)
                if (label.name == "lblProgress2" && !label.caption.empty()) steps.push_back(label.caption);
        return steps;
    }
    std::string dataFile() {
        std::ifstream in(temp / "CRMWordMergeData.csv", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool leftovers() {
        for (const auto& entry : fs::directory_iterator(temp))
            if (entry.path().filename().string().starts_with("CRMWordMergeData")) return true;
        return false;
    }
};

TEST_F(MergeWindowTest, DataFileHoldsHeaderAndOneQuotedLinePerRecordAsRfc4180Utf8) {
    const std::string records =
        "<c><FirstName>Ann</FirstName><company>Smith, Jones &amp; \"Co\"</company><City>Köln\nNord</City></c>"
        "<c><FIRSTNAME>Zoë Ωmega</FIRSTNAME><City>Rome</City><FirstName>ignored</FirstName></c>";
    click("cmdHide", 0);
    EXPECT_EQ(runMerge(campaign(records), templatePath), "Success");

    EXPECT_EQ(dataFile(),
              "First,Company,Town\r\n"
              "\"Ann\",\"Smith, Jones & \"\"Co\"\"\",\"Köln\nNord\"\r\n"
              "\"Zoë Ωmega\",,\"Rome\"\r\n");
    const std::string script =
        "import csv,sys; rows=list(csv.reader(open(sys.argv[1], encoding='utf-8', newline='')));"
        "sys.exit(0 if rows==[['First','Company','Town'],['Ann','Smith, Jones & \"Co\"','Köln\\nNord'],"
        "['Zoë Ωmega','','Rome']] else 1)";
    EXPECT_EQ(std::system(("python3 - '" + (temp / "CRMWordMergeData.csv").string() + "' <<'PY'\n" + script + "\nPY").c_str()), 0);
    EXPECT_EQ(progressSteps().at(3), "Building Merge Data file");
    EXPECT_EQ(progressSteps().at(7), "Building Merge Data file - Filling data (50%)");
    EXPECT_EQ(progressSteps().at(8), "Building Merge Data file - Filling data (100%)");
}

TEST_F(MergeWindowTest, WindowOpensWithItsControlsAndHeightAndOkHidesIt) {
    click("cmdHide", 0);
    runMerge(campaign("<c><FirstName>Ann</FirstName></c>"), templatePath);
    const desktop::WindowSpec& opened = window().windowSpec;
    EXPECT_EQ(opened.caption, "Merge Progress");
    EXPECT_EQ(opened.heightTwips, 2200);
    EXPECT_EQ(opened.timerIntervalMs, 1000);
    EXPECT_EQ(caption(opened, "lblProgress1"), "Mailmerge Progress");
    EXPECT_TRUE(button(opened, "cmdCancel").visible);
    EXPECT_FALSE(button(opened, "cmdHide").visible);
    EXPECT_FALSE(button(opened, "cmdWholeError").visible);
    EXPECT_EQ(progressSteps().front(), "Loading XML Data");
    EXPECT_TRUE(window().closed);
}

TEST_F(MergeWindowTest, CancelAtEachCheckpointQuitsAndLeavesNoDataFile) {
    // Pumps: Loading, Starting, Opening, then the checkpoint before the tag list, the file, the data.
    // One control runs every case: each campaign shows its window as new, Cancel back in place
    // of the OK the last one ended with.
    for (int32_t afterPumps : {1, 4, 5, 6}) {
        fs::remove_all(temp);
        fs::create_directories(temp);
        click("cmdCancel", afterPumps);
        click("cmdHide", 0);
        EXPECT_EQ(runMerge(campaign("<c><FirstName>Ann</FirstName></c><c><FirstName>Bo</FirstName></c>"), templatePath),
                  "Success");
        const desktop::WindowSpec& last = window().state;
        EXPECT_EQ(progressSteps().back(), "Merge cancelled by user.") << afterPumps;
        EXPECT_FALSE(button(last, "cmdCancel").visible);
        EXPECT_TRUE(button(last, "cmdHide").visible);
        EXPECT_EQ(caption(last, "lblMergeError"), "");
        EXPECT_FALSE(leftovers()) << afterPumps;
    }
}

TEST_F(MergeWindowTest, CancelWhileFillingStopsWithinOneRecordOfManyRecipients) {
    std::string records;
    for (int i = 0; i < 100000; ++i) records += "<c><FirstName>N" + std::to_string(i) + "</FirstName></c>";
    click("cmdCancel", 50);
    click("cmdHide", 0);
    runMerge(campaign(records), templatePath);
    const std::vector<std::string> steps = progressSteps();
    EXPECT_EQ(steps.back(), "Merge cancelled by user.");
    // The record under way when the click arrived finishes; none after it is written.
    EXPECT_EQ(steps.at(steps.size() - 2), "Building Merge Data file - Filling data (0%)");
    EXPECT_LT(window().updates.size(), 120u);
    EXPECT_FALSE(leftovers());
}

TEST_F(MergeWindowTest, FailureShowsLabelAndDetailsEnlargesWindowBy1500Twips) {
    click("cmdWholeError", 0);
    click("cmdHide", 0);
    runMerge(campaign("<c><FirstName>Ann</FirstName></c>", "<fieldlist><f mergeheader=\"First\"/></fieldlist>"),
             templatePath);
    const desktop::WindowSpec& last = window().state;
    EXPECT_EQ(caption(last, "lblMergeError"), "Error running campaign - Invalid use of Null");
    EXPECT_EQ(last.heightTwips, 3700);
    const auto errorLabel = std::find_if(last.labels.begin(), last.labels.end(),
                                         [](const desktop::WindowLabel& label) { return label.name == "lblMergeError"; });
    ASSERT_NE(errorLabel, last.labels.end());
    EXPECT_EQ(errorLabel->heightTwips, 255 + 1500);
    EXPECT_TRUE(errorLabel->bordered);
    EXPECT_FALSE(button(last, "cmdWholeError").visible);
    EXPECT_FALSE(leftovers());
}

TEST_F(MergeWindowTest, BadInputGetsItsFailureLabelAndNoHalfWrittenFile) {
    struct Case {
        std::string markup;
        std::string templateFile;
        std::string label;
    };
    fs::path notADocument = dataFolder() / "notes.docx";
    std::ofstream(notADocument) << "plain text";
    const std::vector<Case> cases = {
        {campaign("<c/>", "<fieldlist><f fieldname=\"A\"/></fieldlist>"), templatePath,
         "Error running campaign - Invalid use of Null"},
        {"<OTHER/>", templatePath, "Error running campaign - Object variable or With block variable not set"},
    };
    for (const Case& c : cases) {
        mail = create("LumoraMailContl.LumoraMailCtrl");
        click("cmdHide", 0);
        EXPECT_EQ(runMerge(c.markup, c.templateFile), "Success");
        EXPECT_EQ(caption(window().state, "lblMergeError"), c.label);
        EXPECT_FALSE(leftovers());
    }
    mail = create("LumoraMailContl.LumoraMailCtrl");
    click("cmdHide", 0);
    runMerge(campaign("<c/>"), notADocument.string());
    EXPECT_NE(caption(window().state, "lblMergeError"), "");
    EXPECT_EQ(progressSteps().back(), "Opening Template Document");
}

TEST_F(MergeWindowTest, TemporaryFolderThatCannotTakeFilesFailsBeforeAnyFileAppears) {
    // Permissions do not stop the super-user the tests may run as; a file where the folder should
    // be stops everyone.
    fs::remove_all(temp);
    std::ofstream(temp) << "not a folder";
    click("cmdHide", 0);
    runMerge(campaign("<c><FirstName>Ann</FirstName></c>"), templatePath);
    EXPECT_EQ(caption(window().state, "lblMergeError"), "Error running campaign - Path not found");
    EXPECT_EQ(progressSteps().back(), "Building Merge Data file - Creating file");
    EXPECT_TRUE(fs::is_regular_file(temp));
}

// Without recipients or a template there is nothing to cancel: OK alone closes the window, which
// otherwise would hold the page with no way out.
TEST_F(MergeWindowTest, EmptyXmlOrTemplateShowsItsMessageBoxAndOnlyOk) {
    for (const auto& [markup, templateFile, box] : {std::tuple{std::string(), templatePath, "XML not set!"},
                                                    std::tuple{campaign("<c/>"), std::string(), "Template not set!"}}) {
        mail = create("LumoraMailContl.LumoraMailCtrl");
        click("cmdHide", 0);
        EXPECT_EQ(runMerge(markup, templateFile), "Success");
        expectLastBox(box, "LumoraMailContl", 0);
        EXPECT_TRUE(button(window().state, "cmdHide").visible);
        EXPECT_FALSE(button(window().state, "cmdCancel").visible);
    }
}

TEST_F(MergeWindowTest, MergedLettersHoldEveryRecipientsValues) {
    const std::string records =
        "<c><FirstName>Ann</FirstName><Company>Smith, Jones &amp; \"Co\"</Company></c>"
        "<c><FirstName>Zoë</FirstName><Company>Ωmega</Company></c>";
    click("cmdHide", 0);
    EXPECT_EQ(runMerge(campaign(records), templatePath), "Success");
    EXPECT_EQ(progressSteps().back(), "Mailmerge completed - 2 rows.");
    ASSERT_FALSE(desktop().transcript().shown.empty());
    const fs::path windowLetters = desktop().transcript().shown.back().file;
    const std::string windowText = testing::documentTextThroughLibreOffice(windowLetters, dataFolder());
    EXPECT_NE(windowText.find("Dear Ann of Smith, Jones & \"Co\""), std::string::npos) << windowText;
    EXPECT_NE(windowText.find("Dear Zoë of Ωmega"), std::string::npos) << windowText;
}

TEST_F(MergeWindowTest, EachLettersHeaderNamesItsOwnRecipient) {
    auto parts = testing::withBody("<w:p><w:r><w:t>Dear &lt;FirstName&gt;</w:t></w:r></w:p>");
    parts.headers = {{"default", "<w:p><w:r><w:t>For &lt;FirstName&gt; at &lt;Firm&gt;</w:t></w:r></w:p>"}};
    testing::writeDocx(templatePath, parts);
    click("cmdHide", 0);
    EXPECT_EQ(runMerge(campaign("<c><FirstName>Ann</FirstName><Company>Acme</Company></c>"
                                "<c><FirstName>Zoë</FirstName><Company>Ωmega</Company></c>"),
                       templatePath),
              "Success");
    ASSERT_FALSE(desktop().transcript().shown.empty());
    const std::string text = testing::documentTextThroughLibreOffice(desktop().transcript().shown.back().file, dataFolder());
    const size_t pageBreak = text.find('\f');
    ASSERT_NE(pageBreak, std::string::npos) << text;
    const std::string first = text.substr(0, pageBreak), second = text.substr(pageBreak + 1);
    EXPECT_NE(first.find("For Ann at Acme"), std::string::npos) << text;
    EXPECT_NE(second.find("For Zoë at Ωmega"), std::string::npos) << text;
    EXPECT_EQ(second.find("Ann"), std::string::npos) << text;
}

}  // namespace
}  // namespace lumora
