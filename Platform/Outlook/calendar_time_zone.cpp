#include "calendar_time_zone.hpp"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>

#include "Automation/vb/convert.hpp"
#include "ical_handles.hpp"

namespace lumora::pim {

namespace {

constexpr std::string_view kZoneFolderMark = "zoneinfo/";
constexpr size_t kMaxZoneNameLength = 128;

// A name of the time zone database ("Europe/Berlin", "EST5EDT", "Etc/GMT+5"). Anything else,
// a path that leaves the zone folder above all, is no name libical may open a file by.
bool isZoneName(std::string_view name) {
    if (name.empty() || name.size() > kMaxZoneNameLength || name.front() == '/') return false;
    if (name.find("..") != std::string_view::npos) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' || c == '_' ||
               c == '+' || c == '-';
    });
}

// The zone's name after the zone folder of a path to its file; the leap-second and POSIX
// variants of the database keep the same rules under the same names.
std::string zoneNameOfPath(std::string_view path) {
    const size_t mark = path.rfind(kZoneFolderMark);
    if (mark == std::string_view::npos) return {};
    std::string_view name = path.substr(mark + kZoneFolderMark.size());
    for (std::string_view variant : {"posix/", "right/"})
        if (name.substr(0, variant.size()) == variant) name.remove_prefix(variant.size());
    return std::string(name);
}

// TZ names the zone when it is set (":Europe/Berlin", a path to a zone file, or the name);
// otherwise /etc/localtime, a link into the zone folder on Debian, or /etc/timezone.
std::string systemZoneName() {
    if (const char* tz = std::getenv("TZ")) {
        std::string_view name(tz);
        if (!name.empty() && name.front() == ':') name.remove_prefix(1);
        if (name.find(kZoneFolderMark) != std::string_view::npos) return zoneNameOfPath(name);
        return std::string(name);  // empty: the C library reads the time as UTC
    }
    char link[512];
    const ssize_t length = ::readlink("/etc/localtime", link, sizeof link - 1);
    if (length > 0) return zoneNameOfPath(std::string_view(link, static_cast<size_t>(length)));
    std::ifstream file("/etc/timezone");
    std::string name;
    std::getline(file, name);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\r')) name.pop_back();
    return name;
}

// A zone whose every observance keeps UTC's offset is UTC, whatever its name ("Etc/UTC", "Zulu").
bool keepsUtcOffset(icalcomponent* vtimezone) {
    for (icalcomponent* part = icalcomponent_get_first_component(vtimezone, ICAL_ANY_COMPONENT); part;
         part = icalcomponent_get_next_component(vtimezone, ICAL_ANY_COMPONENT)) {
        for (icalproperty_kind kind : {ICAL_TZOFFSETTO_PROPERTY, ICAL_TZOFFSETFROM_PROPERTY}) {
            icalproperty* offset = icalcomponent_get_first_property(part, kind);
            if (!offset) continue;
            const int seconds = kind == ICAL_TZOFFSETTO_PROPERTY ? icalproperty_get_tzoffsetto(offset)
                                                                 : icalproperty_get_tzoffsetfrom(offset);
            if (seconds != 0) return false;
        }
    }
    return true;
}

// libical's definition of the zone, with the zone's plain name as its TZID: libical's own
// carries a prefix of its project that no other program resolves to the zone. Null for UTC and
// for a zone libical has no rules for.
std::shared_ptr<icalcomponent> definitionOf(const std::string& name) {
    if (!isZoneName(name)) return nullptr;
    icaltimezone* zone = icaltimezone_get_builtin_timezone(name.c_str());
    icalcomponent* builtin = zone ? icaltimezone_get_component(zone) : nullptr;
    if (!builtin || keepsUtcOffset(builtin)) return nullptr;
    std::shared_ptr<icalcomponent> definition(icalcomponent_new_clone(builtin), ComponentFree());
    icalproperty* tzid = icalcomponent_get_first_property(definition.get(), ICAL_TZID_PROPERTY);
    if (!tzid) return nullptr;
    icalproperty_set_tzid(tzid, name.c_str());
    return definition;
}

icaltimetype civilTime(Date local, bool dateOnly) {
    const vb::CivilTime civil = vb::toCivil(local);
    icaltimetype t = icaltime_null_time();
    t.year = civil.year;
    t.month = civil.month;
    t.day = civil.day;
    if (dateOnly) {
        t.is_date = 1;
    } else {
        t.hour = civil.hour;
        t.minute = civil.minute;
        t.second = civil.second;
    }
    return t;
}

}  // namespace

CalendarTimeZone CalendarTimeZone::ofSystem() {
    CalendarTimeZone zone;
    const std::string name = systemZoneName();
    zone.m_definition = definitionOf(name);
    if (zone.m_definition) zone.m_name = name;
    return zone;
}

icalproperty* CalendarTimeZone::property(CalendarTime which, Date local, bool dateOnly) {
    icaltimetype t = civilTime(local, dateOnly);
    if (!dateOnly && m_name.empty())
        t = icaltime_from_timet_with_zone(utcSecondsOf(local), 0, icaltimezone_get_utc_timezone());
    icalproperty* property = which == CalendarTime::Start ? icalproperty_new_dtstart(t)
                             : which == CalendarTime::End ? icalproperty_new_dtend(t)
                                                          : icalproperty_new_due(t);
    if (!dateOnly && !m_name.empty()) {
        icalproperty_add_parameter(property, icalparameter_new_tzid(m_name.c_str()));
        m_used = true;
    }
    return property;
}

void CalendarTimeZone::addDefinitionTo(icalcomponent* calendar) {
    if (!m_used || !m_definition) return;
    icalcomponent_add_component(calendar, icalcomponent_new_clone(m_definition.get()));
    m_used = false;
}

int64_t utcSecondsOf(Date local) {
    const vb::CivilTime civil = vb::toCivil(local);
    std::tm t{};
    t.tm_year = civil.year - 1900;
    t.tm_mon = civil.month - 1;
    t.tm_mday = civil.day;
    t.tm_hour = civil.hour;
    t.tm_min = civil.minute;
    t.tm_sec = civil.second;
    t.tm_isdst = -1;  // the zone's rules say whether summer time applies
    return static_cast<int64_t>(std::mktime(&t));
}

}  // namespace lumora::pim
