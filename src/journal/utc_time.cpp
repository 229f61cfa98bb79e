// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "journal/utc_time.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <ctime>

namespace clampmeter {
namespace {

using namespace std::chrono;

/// Reads `width` digits at `at`; nothing when they are not all digits.
std::optional<int> digits(std::string_view text, std::size_t at, std::size_t width)
{
    if (text.size() < at + width)
        return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + width; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

} // namespace

UtcFields utcFields(UtcTime time)
{
    const auto ms = floor<milliseconds>(time);
    const auto day = floor<days>(ms);
    const year_month_day date(day);
    const hh_mm_ss clock(ms - day);
    return {static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
        static_cast<unsigned>(date.day()), static_cast<int>(clock.hours().count()),
        static_cast<int>(clock.minutes().count()), static_cast<int>(clock.seconds().count()),
        static_cast<int>(clock.subseconds().count())};
}

std::string utcTimestamp(UtcTime time)
{
    const UtcFields t = utcFields(time);
    std::array<char, 40> text {};
    std::snprintf(text.data(), text.size(), "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", t.year, t.month,
        t.day, t.hour, t.minute, t.second, t.millisecond);
    return text.data();
}

std::optional<UtcTime> parseUtcTimestamp(std::string_view text)
{
    // 2026-12-10T22:03:17.250Z
    if (text.size() != 24 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':'
        || text[16] != ':' || text[19] != '.' || text[23] != 'Z')
        return std::nullopt;
    const auto y = digits(text, 0, 4);
    const auto mo = digits(text, 5, 2);
    const auto d = digits(text, 8, 2);
    const auto h = digits(text, 11, 2);
    const auto mi = digits(text, 14, 2);
    const auto s = digits(text, 17, 2);
    const auto ms = digits(text, 20, 3);
    if (!y || !mo || !d || !h || !mi || !s || !ms || *h > 23 || *mi > 59 || *s > 59)
        return std::nullopt;
    const year_month_day date {
        year(*y), month(static_cast<unsigned>(*mo)), day(static_cast<unsigned>(*d))};
    if (!date.ok())
        return std::nullopt;
    return UtcTime(sys_days(date) + hours(*h) + minutes(*mi) + seconds(*s) + milliseconds(*ms));
}

std::string localDateTime(UtcTime time)
{
    const std::time_t seconds = system_clock::to_time_t(time);
    std::tm local {};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    std::array<char, 40> text {};
    std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S", &local);
    return text.data();
}

} // namespace clampmeter
