// Items as a calendar or address-book server holds them: each kind written and read back with
// every CRM mark, what another program put on the server kept through a change made here, and
// resources the server sends that are refused with the reason.

#include <fstream>
#include <string>

#include "Platform/Outlook/dav_resources.hpp"
#include "pim_fixture.hpp"
#include "tests/support/support_commands.hpp"

namespace lumora::pim::tests {
namespace {

using nlohmann::json;

constexpr std::string_view kBadResource = "The item from the server cannot be read: ";

// A mark value that needs every escape, and characters beyond Latin-1.
const std::string kAwkwardValue = "{A1,B2;C3}\nline two\\end \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xE6\x9D\xB1\xE4\xBA\xAC";

UserPropertyRow textProperty(std::string name, std::string value) {
    UserPropertyRow row;
    row.name = std::move(name);
    row.value = Variant(std::move(value));
    return row;
}

std::string userProperty(const ItemRecord& item, std::string_view name) {
    for (const UserPropertyRow& row : item.userProperties)
        if (row.name == name) return row.value.toString();
    return "<none>";
}

class DavResourceTest : public PimTest {
protected:
    // The resource as python3-icalendar and python3-vobject read it.
    json readIndependently(const std::string& text) {
        const auto file = m_data.path() / "resource.txt";
        std::ofstream(file, std::ios::binary) << text;
        return lumora::testing::readWithSupportScript("read_dav_resource.py", file,
                                                      "python3-icalendar or python3-vobject", json::object());
    }

    void expectBadResource(std::string_view text, ItemClass expected, const std::string& reason) {
        try {
            readResource(text, expected);
            ADD_FAILURE() << "read: " << text;
        } catch (const Error& e) {
            EXPECT_EQ(e.description(), std::string(kBadResource) + reason);
        }
    }

    ScopedTimeZone m_zone{"Europe/Berlin"};
    Date m_now = civilDate(2026, 12, 8, 9, 10);
};

ItemRecord appointment() {
    ItemRecord item;
    item.itemClass = ItemClass::Appointment;
    item.uid = "crm-7@lumora.example";
    item.values["Subject"] = Variant("Review, Q4; budget");
    item.values["Location"] = Variant("Room 4");
    item.values["Body"] = Variant("Bring\nthe figures");
    item.values["Start"] = Variant(civilDate(2026, 12, 10, 14, 0));
    item.values["End"] = Variant(civilDate(2026, 12, 10, 15, 30));
    item.values["AllDayEvent"] = Variant(false);
    item.userProperties = {textProperty("ACID", "{8A1F}"), textProperty("Lumora", "true"), textProperty("guid", kAwkwardValue)};
    return item;
}

TEST_F(DavResourceTest, AnAppointmentComesBackWithItsFieldsZoneAndMarks) {
    const std::string text = resourceText(appointment(), "", m_now);
    EXPECT_NE(text.find("BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("X-LUMORA-PROP-LUMORA:true\r\n"), std::string::npos) << text;
    const ItemRecord back = readResource(text, ItemClass::Appointment).item;
    EXPECT_EQ(back.uid, "crm-7@lumora.example");
    EXPECT_EQ(back.values.at("Subject").toString(), "Review, Q4; budget");
    EXPECT_EQ(back.values.at("Body").toString(), "Bring\nthe figures");
    EXPECT_EQ(back.values.at("Start").toDate(), civilDate(2026, 12, 10, 14, 0));
    EXPECT_EQ(back.values.at("End").toDate(), civilDate(2026, 12, 10, 15, 30));
    EXPECT_EQ(userProperty(back, "ACID"), "{8A1F}");
    EXPECT_EQ(userProperty(back, "Lumora"), "true");
    EXPECT_EQ(userProperty(back, "guid"), kAwkwardValue);

    const json read = readIndependently(text);
    for (const char* parser : {"icalendar", "vobject"}) {
        SCOPED_TRACE(parser);
        ASSERT_EQ(read[parser].size(), 1u);
        const json& properties = read[parser][0]["properties"];
        EXPECT_EQ(properties["SUMMARY"][0], "Review, Q4; budget");
        EXPECT_EQ(properties["X-LUMORA-PROP-ACID"][0], "{8A1F}");
        EXPECT_EQ(properties["X-LUMORA-PROP-GUID"][0], kAwkwardValue);
    }
}

TEST_F(DavResourceTest, ATaskAndAContactComeBackWithEveryMark) {
    ItemRecord task;
    task.itemClass = ItemClass::Task;
    task.uid = "task-1";
    task.values["Subject"] = Variant("Call back");
    task.values["DueDate"] = Variant(civilDate(2026, 12, 11));
    task.values["Status"] = Variant(int32_t{1});
    task.userProperties = {textProperty("USTID", "{0F8FAD5B-D9CB-469F-A165-70867728950E}"), textProperty("Lumora", "")};
    const std::string taskText = resourceText(task, "", m_now);
    const ItemRecord taskBack = readResource(taskText, ItemClass::Task).item;
    EXPECT_EQ(taskBack.values.at("DueDate").toDate(), civilDate(2026, 12, 11));
    EXPECT_EQ(taskBack.values.at("Status").toI4(), 1);
    EXPECT_EQ(userProperty(taskBack, "USTID"), "{0F8FAD5B-D9CB-469F-A165-70867728950E}");
    EXPECT_EQ(userProperty(taskBack, "Lumora"), "");  // present though empty: the CRM asks whether it exists
    EXPECT_EQ(readIndependently(taskText)["icalendar"][0]["properties"]["X-LUMORA-PROP-USTID"][0],
              "{0F8FAD5B-D9CB-469F-A165-70867728950E}");

    ItemRecord contact;
    contact.itemClass = ItemClass::Contact;
    contact.uid = "urn:uuid:4fbe8971-0bc3-424c-9c26-36c3e1eff6b1";
    contact.values["FirstName"] = Variant("J\xC3\xB6rg");
    contact.values["LastName"] = Variant("M\xC3\xBCller");
    contact.values["User1"] = Variant("Lumora");
    contact.values["User2"] = Variant("Perm");
    contact.values["User3"] = Variant(kAwkwardValue);
    contact.userProperties = {textProperty("LUMORAID", kAwkwardValue), textProperty("Lumora", "true")};
    const std::string card = resourceText(contact, "", m_now);
    EXPECT_EQ(card.rfind("BEGIN:VCARD\r\nVERSION:4.0\r\n", 0), 0u) << card;
    const ItemRecord back = readResource(card, ItemClass::Contact).item;
    EXPECT_EQ(back.uid, contact.uid);
    EXPECT_EQ(back.values.at("LastName").toString(), "M\xC3\xBCller");
    for (const char* field : {"User1", "User2", "User3"}) EXPECT_EQ(back.values.at(field), contact.values.at(field)) << field;
    EXPECT_EQ(userProperty(back, "LUMORAID"), kAwkwardValue);
    EXPECT_EQ(userProperty(back, "Lumora"), "true");
    const json properties = readIndependently(card)["vobject"][0];
    EXPECT_EQ(properties["X-LUMORA-USER3"][0], kAwkwardValue);
    EXPECT_EQ(properties["X-LUMORA-PROP-LUMORAID"][0], kAwkwardValue);
    EXPECT_EQ(properties["X-LUMORA-USER2"][0], "Perm");
}

// A recurring meeting another program made: attendees, an alarm, categories, a property of its
// own, an override of one occurrence, and times in a zone of the file.
constexpr std::string_view kServerMeeting =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Example Corp//Groupware 3//EN\r\n"
    "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
    "BEGIN:STANDARD\r\nDTSTART:19701025T030000\r\nRRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\n"
    "TZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
    "BEGIN:VEVENT\r\nUID:weekly-1@example\r\nDTSTAMP:20261201T080000Z\r\n"
    "DTSTART;TZID=Europe/Berlin:20261207T100000\r\nDURATION:PT1H\r\n"
    "RRULE:FREQ=WEEKLY;COUNT=10\r\nSUMMARY:Weekly sync\r\nCATEGORIES:Sales,Team\r\n"
    "ATTENDEE;CN=\"Lee, Ann\";PARTSTAT=ACCEPTED:mailto:ann@example.org\r\n"
    "X-OTHER-APP-COLOR:teal\\, dark\r\nX-LUMORA-PROP-GUID:stale\r\n"
    "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Soon\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n"
    "END:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:weekly-1@example\r\nDTSTAMP:20261201T080000Z\r\n"
    "RECURRENCE-ID;TZID=Europe/Berlin:20261214T100000\r\n"
    "DTSTART;TZID=Europe/Berlin:20261214T110000\r\nDURATION:PT1H\r\nSUMMARY:Weekly sync (moved)\r\n"
    "END:VEVENT\r\nEND:VCALENDAR\r\n";

TEST_F(DavResourceTest, AChangeMadeHereKeepsWhatAnotherProgramPutOnTheServer) {
    ItemRecord item = readResource(kServerMeeting, ItemClass::Appointment).item;
    EXPECT_EQ(item.values.at("Subject").toString(), "Weekly sync");  // the master, not the override
    EXPECT_EQ(item.values.at("End").toDate(), civilDate(2026, 12, 7, 11, 0));
    EXPECT_EQ(userProperty(item, "guid"), "stale");
    item.values["Subject"] = Variant("Weekly sync, new room");
    item.values["Location"] = Variant("Room 5");
    item.userProperties = {textProperty("ACID", "{42}")};  // guid removed here, ACID added

    const std::string text = resourceText(item, kServerMeeting, m_now);
    for (const char* kept : {"RRULE:FREQ=WEEKLY;COUNT=10\r\n", "CATEGORIES:Sales,Team\r\n",
                             "ATTENDEE;CN=\"Lee, Ann\";PARTSTAT=ACCEPTED:mailto:ann@example.org\r\n",
                             "X-OTHER-APP-COLOR:teal\\, dark\r\n", "TRIGGER:-PT15M\r\n", "PRODID:-//Example Corp//Groupware 3//EN\r\n",
                             "SUMMARY:Weekly sync (moved)\r\n", "RECURRENCE-ID;TZID=Europe/Berlin:20261214T100000\r\n"})
        EXPECT_NE(text.find(kept), std::string::npos) << kept << "\n" << text;
    for (const char* replaced : {"SUMMARY:Weekly sync\r\n", "X-LUMORA-PROP-GUID", "DTSTAMP:20261201T080000Z\r\nDTSTART;TZID=Europe/Berlin:20261207"})
        EXPECT_EQ(text.find(replaced), std::string::npos) << replaced << "\n" << text;
    EXPECT_EQ(text.find("BEGIN:VTIMEZONE"), text.rfind("BEGIN:VTIMEZONE")) << "the file's zone is not added twice";
    // DTEND replaces the DURATION of the master, which two programs would read differently.
    const size_t override = text.find("RECURRENCE-ID");
    EXPECT_EQ(text.substr(0, override).find("DURATION"), std::string::npos);

    const ItemRecord back = readResource(text, ItemClass::Appointment).item;
    EXPECT_EQ(back.values.at("Subject").toString(), "Weekly sync, new room");
    EXPECT_EQ(back.values.at("Location").toString(), "Room 5");
    EXPECT_EQ(userProperty(back, "ACID"), "{42}");
    EXPECT_EQ(userProperty(back, "guid"), "<none>");
    const json read = readIndependently(text);
    for (const char* parser : {"icalendar", "vobject"}) {
        SCOPED_TRACE(parser);
        ASSERT_EQ(read[parser].size(), 2u);
        const json& master = read[parser][0]["properties"];
        EXPECT_EQ(master["SUMMARY"][0], "Weekly sync, new room");
        EXPECT_EQ(master["X-OTHER-APP-COLOR"][0], "teal, dark");
        EXPECT_EQ(master["ATTENDEE"].size(), 1u);
        EXPECT_EQ(read[parser][1]["properties"]["SUMMARY"][0], "Weekly sync (moved)");
    }
}

// A card an address-book program made, with more than the contact has fields for.
constexpr std::string_view kServerCard =
    "BEGIN:VCARD\nVERSION:3.0\nUID:card-9\nN:Lee;Ann;;;\nFN:Ann Lee\n"
    "EMAIL;TYPE=work:ann@acme.example\nEMAIL;TYPE=home:ann@home.example\n"
    "EMAIL:a1@x.example\nEMAIL:a4@x.example\n"
    "URL:https://acme.example\nitem1.URL:https://social.example/ann\nitem1.X-ABLabel:profile\n"
    "BDAY:--0412\nCATEGORIES:Customers,VIP\n"
    "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsLDBkSEx8aHBwgJCwiHCkqJDwwLiwmLjIxND\n"
    " QzLzE0NjlCQjc5OTc3\n"
    "X-LUMORA-USER1:Lumora\nEND:VCARD\n";

TEST_F(DavResourceTest, AContactChangedHereKeepsTheCardsOtherLines) {
    ItemRecord contact = readResource(kServerCard, ItemClass::Contact).item;
    EXPECT_EQ(contact.values.at("Email3Address").toString(), "a1@x.example");
    EXPECT_EQ(contact.values.at("User1").toString(), "Lumora");
    contact.values["FirstName"] = Variant("Anna");
    contact.values.erase("Email2Address");
    contact.values["User1"] = Variant("");
    contact.values["User3"] = Variant("ACC-1");

    const std::string card = resourceText(contact, kServerCard, m_now);
    for (const char* kept : {"EMAIL:a4@x.example\r\n", "item1.URL:https://social.example/ann\r\n", "item1.X-ABLabel:profile\r\n",
                             "BDAY:--0412\r\n", "CATEGORIES:Customers,VIP\r\n",
                             "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsLDBkSEx8aHBwgJCwiHCkqJDwwLiwmLjIxND\r\n"
                             " QzLzE0NjlCQjc5OTc3\r\n"})
        EXPECT_NE(card.find(kept), std::string::npos) << kept << "\n" << card;
    for (const char* replaced : {"N:Lee;Ann;;;", "ann@home.example", "X-LUMORA-USER1", "VERSION:3.0"})
        EXPECT_EQ(card.find(replaced), std::string::npos) << replaced << "\n" << card;
    EXPECT_NE(card.find("X-LUMORA-USER3:ACC-1\r\n"), std::string::npos) << card;
    EXPECT_NE(card.find("URL;TYPE=work:https://acme.example\r\n"), std::string::npos) << card;

    const ItemRecord back = readResource(card, ItemClass::Contact).item;
    EXPECT_EQ(back.values.at("FirstName").toString(), "Anna");
    EXPECT_EQ(back.values.at("Email1Address").toString(), "ann@acme.example");
    const json properties = readIndependently(card)["vobject"][0];
    EXPECT_EQ(properties["EMAIL"].size(), 3u);  // two of the contact's, and the one it has no field for
    EXPECT_EQ(properties["CATEGORIES"][0], "['Customers', 'VIP']");
    EXPECT_EQ(properties["UID"][0], "card-9");
}

TEST_F(DavResourceTest, AResourceThatIsNotOneItemIsRefusedWithTheReason) {
    const std::string event = "BEGIN:VEVENT\r\nUID:a\r\nDTSTART:20261208T100000Z\r\nEND:VEVENT\r\n";
    const auto calendar = [](const std::string& inside) { return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + inside + "END:VCALENDAR\r\n"; };
    expectBadResource(calendar("BEGIN:VEVENT\r\nUID:a\r\n"), ItemClass::Appointment, "line 5: END:VCALENDAR closes BEGIN:VEVENT");
    expectBadResource("BEGIN:VCALENDAR\r\n" + event, ItemClass::Appointment, "BEGIN:VCALENDAR has no END");
    expectBadResource(calendar(event) + "trailing words\r\n", ItemClass::Appointment, "line 8 stands outside every BEGIN and END");
    expectBadResource("", ItemClass::Appointment, "it is empty");
    expectBadResource("<html>Service unavailable</html>", ItemClass::Task, "line 1 stands outside every BEGIN and END");
    expectBadResource(calendar(""), ItemClass::Appointment, "it holds no VEVENT");
    expectBadResource(calendar(event), ItemClass::Task, "it holds a VEVENT where a VTODO belongs");
    std::string other = event;
    other.replace(other.find("UID:a"), 5, "UID:b");
    expectBadResource(calendar(event + other), ItemClass::Appointment, "it holds VEVENTs of two UIDs, \"a\" and \"b\"");
    expectBadResource(calendar(event + event), ItemClass::Appointment,
                      "it holds two VEVENTs of the UID \"a\" without a RECURRENCE-ID");
    expectBadResource(calendar("BEGIN:VEVENT\r\nUID:a\r\nSUMMARY:No start\r\nEND:VEVENT\r\n"), ItemClass::Appointment,
                      "event 1: no start time");
    expectBadResource(std::string(kServerCard) + std::string(kServerCard), ItemClass::Contact, "it holds 2 parts, not one vCard");
    expectBadResource(calendar(event), ItemClass::Contact, "it holds a VCALENDAR, not a vCard");
    std::string deep = calendar("");
    for (int i = 0; i < 40; ++i) deep.insert(0, "BEGIN:X-DEEP\r\n");
    expectBadResource(deep, ItemClass::Appointment, "its parts are nested more than 32 deep");

    // A write over a server text that is no item of the kind changes nothing and says why.
    try {
        resourceText(appointment(), calendar(""), m_now);
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_EQ(e.description(), std::string(kBadResource) + "it holds no VEVENT");
    }
    const std::string huge = calendar(event) + std::string(kMaxResourceBytes, ' ');
    EXPECT_AUTOMATION_ERROR(readResource(huge, ItemClass::Appointment), static_cast<int32_t>(0x80040609));
    EXPECT_AUTOMATION_ERROR(resourceText(appointment(), huge, m_now), static_cast<int32_t>(0x80040609));
}

}  // namespace
}  // namespace lumora::pim::tests
