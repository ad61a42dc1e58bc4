// A letter whose caller has gone (the page closed, the bridge is stopping) ends at its next row
// or tag in its own failure path: nothing is saved, nothing is placed for the user, and the
// member returns to the thread that runs it.

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "Automation/cancellation.hpp"
#include "Control/frame/control.hpp"
#include "Host/sample_template.hpp"
#include "Platform/Xml/register.hpp"
#include "tests/Control/support/word_fixture.hpp"

namespace lumora {
namespace {

namespace fs = std::filesystem;

// The sample seminar record with `people` entries in its list.
std::string seminarRecordWith(int people) {
    std::string record(host::sampleSeminarRecord());
    std::string list;
    for (int i = 0; i < people; ++i)
        list += "<person><field templatetag=\"name\" label=\"Name\" value=\"Person " + std::to_string(i) +
                "\"/><field templatetag=\"company\" label=\"Company\" value=\"Company " + std::to_string(i) +
                "\"/><field templatetag=\"email\" label=\"E-mail\" value=\"p" + std::to_string(i) +
                "@example.com\"/></person>";
    const size_t start = record.find("<person>");
    const size_t end = record.find("</listitemname>");
    return record.replace(start, end - start, list);
}

class CancelledLetters : public testing::WordFixture {
protected:
    void SetUp() override {
        WordFixture::SetUp();
        samples = host::writeSampleDocuments(temp.path() / "samples");
    }

    static Object recordDocument(const std::string& record) {
        Object xml = xml::createXmlDocument();
        xml.call("loadXML", record);
        return xml;
    }

    void createSeminarLetter(const Object& record, const fs::path& savePath) {
        Variant xmlDoc(record), tpl(samples.seminarTemplate.string()), address(""), mode("HTML"), save(savePath.string()),
            header("true");
        control.call("CreateSeminarLetterXML", ByRef{xmlDoc}, ByRef{tpl}, ByRef{address}, ByRef{mode}, ByRef{save},
                     ByRef{header});
    }

    fs::path documentsFolder() const { return temp.path() / "data" / "documents"; }

    host::SampleDocuments samples;
    Object control = makeObject<control::LumoraCtrl2005>();
};

TEST_F(CancelledLetters, ALetterCancelledBeforeItsFirstTagTellsTheInterruptAndSavesNothing) {
    const fs::path saved = temp.path() / "Seminar.docx";
    CancelFlag flag;
    flag.cancel();
    {
        ScopedCancelFlag cancellation(flag);
        createSeminarLetter(recordDocument(std::string(host::sampleSeminarRecord())), saved);
    }
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_NE(boxes()[0].request.text.find("User interrupt occurred"), std::string::npos) << boxes()[0].request.text;
    EXPECT_FALSE(fs::exists(saved));
    EXPECT_FALSE(fs::exists(documentsFolder()));

    // The flag belongs to the call's thread alone: the same letter on this thread now is made.
    createSeminarLetter(recordDocument(std::string(host::sampleSeminarRecord())), saved);
    EXPECT_EQ(boxes().size(), 1u);
    EXPECT_TRUE(fs::is_regular_file(saved));
}

TEST_F(CancelledLetters, ALongListTableCancelledWhileFillingEndsPromptlyWithoutASave) {
    const fs::path saved = temp.path() / "Seminar.docx";
    const Object record = recordDocument(seminarRecordWith(100000));
    CancelFlag flag;
    std::promise<std::chrono::steady_clock::time_point> cancelledAt;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        cancelledAt.set_value(std::chrono::steady_clock::now());
        flag.cancel();
    });
    {
        ScopedCancelFlag cancellation(flag);
        createSeminarLetter(record, saved);
    }
    const auto returned = std::chrono::steady_clock::now();
    canceller.join();
    // Generous for a loaded machine; a fill that never looked at the flag would take minutes.
    EXPECT_LT(returned - cancelledAt.get_future().get(), std::chrono::seconds(5));
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_NE(boxes()[0].request.text.find("User interrupt occurred"), std::string::npos) << boxes()[0].request.text;
    EXPECT_FALSE(fs::exists(saved));
}

}  // namespace
}  // namespace lumora
