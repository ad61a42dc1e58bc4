#include "crm_resources.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace lumora::bench {

namespace {

constexpr std::array<std::string_view, 12> kFirstNames = {"Anna",  "Jonas", "Lea",   "Felix", "Marie",  "Paul",
                                                          "Sofia", "Lukas", "Emma",  "Noah",  "Hannah", "Elias"};
constexpr std::array<std::string_view, 12> kLastNames = {"Müller", "Schmidt", "Schneider", "Fischer", "Weber",  "Meyer",
                                                         "Wagner", "Becker",  "Schulz",    "Hoffmann", "Koch", "Richter"};
constexpr std::array<std::string_view, 8> kCompanies = {"Nordlicht Logistik GmbH", "Brandt & Söhne KG",
                                                        "Alpenblick Hotels AG",    "Weserwerft GmbH",
                                                        "Kessler Medizintechnik",  "Hansa Druck GmbH",
                                                        "Rheinland Versicherung",  "Lindner Software GmbH"};
constexpr std::array<std::string_view, 6> kTopics = {"Quarterly review", "Contract renewal", "Product demo",
                                                     "Site visit",       "Support escalation", "Kick-off"};
constexpr std::array<std::string_view, 6> kCities = {"Berlin", "Hamburg", "München", "Köln", "Frankfurt am Main",
                                                     "Stuttgart"};
constexpr std::array<std::string_view, 6> kPostcodes = {"10115", "20095", "80331", "50667", "60311", "70173"};
constexpr std::array<std::string_view, 6> kStreets = {"Friedrichstraße", "Jungfernstieg", "Leopoldstraße",
                                                      "Hohe Straße",     "Zeil",          "Königstraße"};

template <size_t N>
std::string_view pick(const std::array<std::string_view, N>& choices, int n) {
    return choices[static_cast<size_t>(n) % N];
}

// Printf into a string; every text here is short.
template <class... Args>
std::string formatted(const char* pattern, Args... args) {
    char buffer[256];
    const int length = std::snprintf(buffer, sizeof buffer, pattern, args...);
    return std::string(buffer, static_cast<size_t>(length < 0 ? 0 : std::min<int>(length, sizeof buffer - 1)));
}

// The CRM's account id as the CRM writes it: a GUID in registry form.
std::string accountId(int n) { return formatted("{%08X-4C1E-4A7B-9D21-%012X}", static_cast<unsigned>(n) * 2654435761u, static_cast<unsigned>(n)); }

constexpr std::string_view kBerlinZone =
    "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
    "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nTZNAME:CEST\r\nDTSTART:19700329T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nTZNAME:CET\r\nDTSTART:19701025T030000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";

}  // namespace

std::string crmEventUid(int n) { return formatted("crm-appointment-%05d-7f3a", n); }
std::string crmContactUid(int n) { return formatted("crm-contact-%05d-91c2", n); }

std::string crmEventText(int n) {
    // Spread over two years of working days, from 8 to 17 o'clock, half an hour to two hours long.
    const int day = n % 700, month = 1 + (day / 28) % 12, dayOfMonth = 1 + day % 28, year = 2025 + day / 336;
    const int hour = 8 + n % 10, minutes = 30 * (1 + n % 4);
    const int endHour = hour + (minutes + (n % 2) * 30) / 60, endMinute = (minutes + (n % 2) * 30) % 60;
    const std::string_view company = pick(kCompanies, n), city = pick(kCities, n / 3);
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Groupware Web Client//EN\r\n";
    text += kBerlinZone;
    text += "BEGIN:VEVENT\r\nUID:" + crmEventUid(n) + "\r\nDTSTAMP:20250103T081500Z\r\n";
    text += formatted("CREATED:20250102T%02d%02d00Z\r\n", 8 + n % 10, n % 60);
    text += formatted("DTSTART;TZID=Europe/Berlin:%04d%02d%02dT%02d0000\r\n", year, month, dayOfMonth, hour);
    text += formatted("DTEND;TZID=Europe/Berlin:%04d%02d%02dT%02d%02d00\r\n", year, month, dayOfMonth, endHour,
                      endMinute);
    text += "SUMMARY:" + std::string(pick(kTopics, n)) + " with " + std::string(company) + "\r\n";
    text += "LOCATION:" + std::string(pick(kStreets, n / 3)) + formatted(" %d\\, ", 1 + n % 90) +
            std::string(pick(kPostcodes, n / 3)) + " " + std::string(city) + "\r\n";
    text += "DESCRIPTION:Agenda:\\n- open points from the last meeting\\n- offer " +
            formatted("%d/%d", 2025 + n % 2, 1000 + n) + "\\nContact: " + std::string(pick(kFirstNames, n)) + " " +
            std::string(pick(kLastNames, n / 12)) + "\r\n";
    text += "X-LUMORA-PROP-ACID:" + accountId(n) + "\r\n";
    text += "END:VEVENT\r\nEND:VCALENDAR\r\n";
    return text;
}

std::string crmContactText(int n) {
    const std::string first(pick(kFirstNames, n)), last(pick(kLastNames, n / 12));
    const std::string company(pick(kCompanies, n / 5)), city(pick(kCities, n / 7));
    const std::string mailbox = formatted("%c.%s%d", first[0] | 0x20, "contact", n);
    std::string text = "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:" + crmContactUid(n) + "\r\n";
    text += "FN:" + first + " " + last + "\r\nN:" + last + ";" + first + ";;;\r\n";
    text += "ORG:" + company + "\r\nTITLE:" + (n % 3 ? "Purchasing" : "Managing Director") + "\r\n";
    text += "EMAIL;TYPE=work:" + mailbox + "@" + formatted("customer%d.example", n / 5) + "\r\n";
    text += formatted("TEL;TYPE=work,voice:+49 30 %07d\r\n", 2000000 + n);
    text += formatted("TEL;TYPE=cell:+49 171 %07d\r\n", 5000000 + n);
    text += "ADR;TYPE=work:;;" + std::string(pick(kStreets, n / 7)) + formatted(" %d;", 1 + n % 120) + city + ";;" +
            std::string(pick(kPostcodes, n / 7)) + ";Germany\r\n";
    text += "NOTE:Met at the trade fair; prefers calls in the morning.\r\n";
    text += "X-LUMORA-PROP-ACID:" + accountId(n / 5) + "\r\n";
    text += "REV:20250214T101500Z\r\nEND:VCARD\r\n";
    return text;
}

}  // namespace lumora::bench
