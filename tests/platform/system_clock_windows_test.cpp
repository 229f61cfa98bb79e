// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The machine's clock on Windows: the short date and the time with seconds of one instant, in
// the user's regional formats, as UTF-8.

#include "platform/system_clock.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>

namespace clampmeter {
namespace {

/// The user's format of `when` through the ANSI functions, for comparison.
CaptureTime formattedAnsi(const SYSTEMTIME& when)
{
    std::array<char, 128> date {};
    std::array<char, 128> time {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &when, nullptr, date.data(),
        static_cast<int>(date.size()));
    GetTimeFormatA(
        LOCALE_USER_DEFAULT, 0, &when, nullptr, time.data(), static_cast<int>(time.size()));
    return {date.data(), time.data()};
}

std::string twoDigits(int value)
{
    return (value < 10 ? "0" : "") + std::to_string(value);
}

TEST(WindowsSystemClock, GivesTheUsersShortDateAndTimeOfTheSameInstant)
{
    SystemClock clock;
    SYSTEMTIME before {};
    GetLocalTime(&before);
    const CaptureTime now = clock.now();
    SYSTEMTIME after {};
    GetLocalTime(&after);

    // The second may turn between the readings: one of the two instants must match whole.
    const CaptureTime early = formattedAnsi(before);
    const CaptureTime late = formattedAnsi(after);
    const bool matchesEarly = now.date == early.date && now.time == early.time;
    const bool matchesLate = now.date == late.date && now.time == late.time;
    EXPECT_TRUE(matchesEarly || matchesLate)
        << now.date << ' ' << now.time << " is neither " << early.date << ' ' << early.time
        << " nor " << late.date << ' ' << late.time;
}

TEST(WindowsSystemClock, TheTimeShowsSecondsAndTheDateTheYear)
{
    SystemClock clock;
    SYSTEMTIME before {};
    GetLocalTime(&before);
    const CaptureTime now = clock.now();
    SYSTEMTIME after {};
    GetLocalTime(&after);

    const std::set<std::string> seconds {twoDigits(before.wSecond), twoDigits(after.wSecond)};
    bool hasSeconds = false;
    for (const std::string& second : seconds)
        hasSeconds = hasSeconds || now.time.ends_with(second)
            || now.time.find(":" + second + " ") != std::string::npos;
    EXPECT_TRUE(hasSeconds) << now.time;
    const std::string year = std::to_string(after.wYear);
    EXPECT_TRUE(now.date.find(year) != std::string::npos
        || now.date.find(year.substr(2)) != std::string::npos)
        << now.date;
}

} // namespace
} // namespace clampmeter
