// A contact from the page's form sent as a vCard through the control, on a real store: the mail
// carries the card, which Debian's python3-vobject reads and the PIM's own import takes back
// with the same fields; the contact itself is never kept, and a form or value that fails ends
// the member quietly.

#include <gtest/gtest.h>

#include "Automation/vb/convert.hpp"
#include "Platform/Outlook/vcard_items.hpp"
#include "contact_fixture.hpp"
#include "tests/support/mail_draft_reader.hpp"
#include "tests/support/pim_file_reader.hpp"

namespace lumora {
namespace {

const std::string kCrLf = "\r\n";

class VcardTest : public testing::ContactControlTest {
protected:
    Variant sendAsVcard(const std::string& markup) {
        Variant document(page(markup));
        return control.call("CreateContactAsvCard", document);
    }
    // The draft's attachments, saved beside it.
    std::filesystem::path savedParts() {
        const std::filesystem::path parts = dataFolder() / "parts";
        std::filesystem::create_directories(parts);
        draft = testing::readMailDraft(shown().back().file, parts);
        return parts;
    }
    nlohmann::json draft;
};

TEST_F(VcardTest, TheMailCarriesTheFormsContactAsAVcardThatReadsBackTheSame) {
    EXPECT_EQ(sendAsVcard(formPage({{"BIRTHDAY", "1985-04-12"}, {"EMAIL2ADDRESS", "ann.lee@home.test"}})),
              Variant(true));
    EXPECT_EQ(contactsFolder().getObject("Items").count(), 0);  // the contact only passed through
    ASSERT_EQ(shown().size(), 1u);
    const std::filesystem::path parts = savedParts();
    EXPECT_EQ(draft["subject"], "Dr Ann May Lee PhD");
    ASSERT_EQ(draft["attachments"].size(), 1u);
    ASSERT_EQ(draft["attachments"][0]["filename"], "Dr Ann May Lee PhD.vcf");
    const std::filesystem::path card = parts / "Dr Ann May Lee PhD.vcf";

    const nlohmann::json read = testing::readPimFile(card)["vobject"];
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0]["fn"], "Dr Ann May Lee PhD");
    EXPECT_EQ(read[0]["email"], nlohmann::json::array({"ann@acme.test", "ann.lee@home.test"}));
    EXPECT_EQ(read[0]["tel"].size(), 5u);

    EXPECT_EQ(admin().call("Import", card.string()), Variant(int32_t{1}));
    const Object imported = onlyContact();
    const std::map<std::string, Variant> expected = {
        {"LastName", Variant("Lee")}, {"FirstName", Variant("Ann")}, {"MiddleName", Variant("May")},
        {"Title", Variant("Dr")}, {"Suffix", Variant("PhD")}, {"FullName", Variant("Dr Ann May Lee PhD")},
        {"CompanyName", Variant("Acme")}, {"Department", Variant("R&D")}, {"JobTitle", Variant("CTO")},
        {"NickName", Variant("Annie")}, {"BusinessTelephoneNumber", Variant("1")},
        {"BusinessFaxNumber", Variant("2")}, {"MobileTelephoneNumber", Variant("3")},
        {"HomeTelephoneNumber", Variant("5")}, {"HomeFaxNumber", Variant("6")},
        {"Email1Address", Variant("ann@acme.test")}, {"Email2Address", Variant("ann.lee@home.test")},
        {"BusinessAddressStreet", Variant(kCrLf + "Unit 2" + kCrLf + "Dock Rd")},
        {"BusinessAddressCity", Variant("Leeds")}, {"BusinessAddressPostalCode", Variant("LS1")},
        {"BusinessAddressCountry", Variant("UK")}, {"HomeAddressStreet", Variant("1 High St" + kCrLf + "Flat 3")},
        {"HomeAddressCity", Variant("York")}, {"HomeAddressPostalCode", Variant("Y1")},
        {"HomeAddressCountry", Variant("UK")}, {"PersonalHomePage", Variant("ann.test")},
        {"Birthday", Variant(vb::toDate(vb::CivilTime{1985, 4, 12, 0, 0, 0}))}};
    for (std::string_view field : pim::vcardFields()) {
        const std::string name(field);
        auto it = expected.find(name);
        const Variant value = imported.get(name);
        if (it != expected.end())
            EXPECT_EQ(value, it->second) << name;
        else
            EXPECT_TRUE(value.toString().empty() || name == "Birthday") << name << ": " << value.toString();
    }
}

TEST_F(VcardTest, AnEmptyBirthdayIsLeftUnset) {
    EXPECT_EQ(sendAsVcard(formPage({})), Variant(true));
    const std::filesystem::path parts = savedParts();
    admin().call("Import", (parts / "Dr Ann May Lee PhD.vcf").string());
    EXPECT_EQ(onlyContact().get("Birthday"), Variant(Date{949998.0}));  // "no date"
}

TEST_F(VcardTest, AFormOrValueThatFailsEndsQuietlyWithNothingKeptOrShown) {
    EXPECT_EQ(sendAsVcard(formPage({}, "DEPARTMENT")), Variant(false));
    EXPECT_EQ(sendAsVcard(formPage({{"ANNIVERSARY", "not a date"}})), Variant(false));
    // The CRM's marks are not read: a form without them is a whole contact for a vCard.
    EXPECT_EQ(sendAsVcard(formPage({}, "ACC_ID")), Variant(true));
    Variant notADocument("a text");
    EXPECT_EQ(control.call("CreateContactAsvCard", notADocument), Variant(false));
    setFaults(testing::machineWithoutOutsideApplications());
    EXPECT_EQ(sendAsVcard(formPage({})), Variant(false));
    EXPECT_EQ(shown().size(), 1u);
    EXPECT_TRUE(boxes().empty());
    setFaults({});
    EXPECT_EQ(contactsFolder().getObject("Items").count(), 0);
}

}  // namespace
}  // namespace lumora
