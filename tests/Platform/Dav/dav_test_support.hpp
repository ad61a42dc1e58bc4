#pragma once
// Shared pieces of the DAV client suites: the error a call throws, compared by number and
// exact text with the one the table makes, and an account on the test radicale.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "Platform/Dav/dav_client.hpp"
#include "Platform/Dav/dav_errors.hpp"
#include "tests/support/radicale_server.hpp"

namespace lumora::dav {

template <class Call>
std::optional<Error> errorFrom(Call call) {
    try {
        call();
    } catch (const Error& e) {
        return e;
    }
    return std::nullopt;
}

#define EXPECT_DAV_ERROR(call, id, detail)                                          \
    do {                                                                            \
        auto thrown = ::lumora::dav::errorFrom([&] { call; });                      \
        ASSERT_TRUE(thrown.has_value()) << "no error from " #call;                  \
        Error expected = errorOf(id, detail);                                       \
        EXPECT_EQ(thrown->number(), expected.number());                             \
        EXPECT_EQ(thrown->description(), expected.description());                   \
        EXPECT_EQ(thrown->source(), "Lumora.DAV");                                  \
    } while (0)

inline DavClient aliceOn(const test::RadicaleServer& server, std::string_view path = "/") {
    return DavClient({server.url(path), std::string(test::RadicaleServer::kAlice),
                      std::string(test::RadicaleServer::kAlicePassword)});
}

inline DavClient bobOn(const test::RadicaleServer& server) {
    return DavClient({server.url("/"), std::string(test::RadicaleServer::kBob),
                      std::string(test::RadicaleServer::kBobPassword)});
}

inline std::string eventText(const std::string& uid, const std::string& summary) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Lumora//Desktop//EN\r\nBEGIN:VEVENT\r\nUID:" + uid +
           "\r\nDTSTAMP:20260105T090000Z\r\nDTSTART:20260112T090000Z\r\nDTEND:20260112T100000Z\r\nSUMMARY:" +
           summary + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

inline constexpr std::string_view kCalendarType = "text/calendar; charset=utf-8";

}  // namespace lumora::dav
