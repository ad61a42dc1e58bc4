// Feeds arbitrary bytes to the calendar importer's reader, the time zones a file defines
// included, and writes whatever it read back out and reads that again. Any input may be
// refused; none may crash, hang or grow without bound.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <string>

#include "Platform/Outlook/icalendar_items.hpp"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A zone with summer time, so that conversions to local time take their full path.
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const std::vector<lumora::pim::ItemRecord> items = lumora::pim::readCalendar(text);
        std::vector<const lumora::pim::ItemRecord*> written;
        for (const lumora::pim::ItemRecord& item : items) written.push_back(&item);
        lumora::pim::readCalendar(lumora::pim::calendarText(written, lumora::Date{46364.375}));  // 2026-12-08 09:00
    } catch (const std::exception&) {
        // Refusals are the expected outcome for most inputs.
    }
    return 0;
}
