#include "system_services.hpp"

#include <sys/random.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "Automation/vb/convert.hpp"
#include "desktop.hpp"
#include "file_opening.hpp"
#include "user_locale.hpp"

namespace lumora::desktop {

namespace {

// Fills the buffer from the kernel's random source without waiting: a system whose pool is
// not ready yet makes no GUID rather than a predictable one.
bool fillRandom(unsigned char* buffer, size_t size) {
    size_t filled = 0;
    while (filled < size) {
        const ssize_t n = ::getrandom(buffer + filled, size - filled, GRND_NONBLOCK);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        filled += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

SystemServices::SystemServices(SystemConfig config) : m_config(std::move(config)) {}

Date SystemServices::now() const {
    if (m_config.pinnedNow) return *m_config.pinnedNow;
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    if (!::localtime_r(&seconds, &local)) return vb::toDate(vb::CivilTime{1970, 1, 1});
    return vb::toDate(vb::CivilTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                                    local.tm_sec});
}

std::string SystemServices::dateOrder() const {
    const std::string name = locale::userLocaleName(m_config.locale, locale::Category::Time);
    return locale::shortDateOrder(locale::icuLocaleId(name));
}

std::string SystemServices::currencySymbol() const {
    const std::string name = locale::userLocaleName(m_config.locale, locale::Category::Monetary);
    return locale::currencySymbol(locale::icuLocaleId(name));
}

NumberConventions SystemServices::numberConventions() const {
    const std::string name = locale::userLocaleName(m_config.locale, locale::Category::Monetary);
    return locale::numberConventions(locale::icuLocaleId(name));
}

std::string SystemServices::tempFolder() const {
    std::string folder;
    if (m_config.tempFolder && !m_config.tempFolder->empty()) {
        folder = *m_config.tempFolder;
    } else if (const char* tmpdir = std::getenv("TMPDIR"); tmpdir && *tmpdir) {
        folder = tmpdir;
    } else {
        folder = "/tmp";
    }
    if (folder.back() != '/') folder += '/';
    return folder;
}

std::string SystemServices::newGuid() const {
    unsigned char bytes[16];
    if (!fillRandom(bytes, sizeof bytes)) return {};
    // RFC 4122 section 4.4: a random GUID carries version 4 and the RFC variant.
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);
    char text[39];
    std::snprintf(text, sizeof text, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", bytes[0],
                  bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8], bytes[9], bytes[10],
                  bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
    return text;
}

int32_t SystemServices::shellOpen(const std::filesystem::path& file, bool launch) const {
    const opening::Checked checked = opening::checkFile(file);
    if (checked.code != shell::Ok || !launch) return checked.code;
    return opening::launchAssociated(checked.resolved);
}

int32_t SystemServices::openLink(const std::string& uri, bool launch) const {
    return opening::launchLink(uri, launch);
}

}  // namespace lumora::desktop
