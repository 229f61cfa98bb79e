// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/log_clock.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace clampmeter::cli {

SystemLogClock::SystemLogClock()
{
    // The local time functions need not read TZ by themselves.
#ifdef _WIN32
    ::_tzset();
#else
    ::tzset();
#endif
}

LogInstant SystemLogClock::now()
{
    return logInstantAt(std::chrono::system_clock::now());
}

LogInstant logInstantAt(std::chrono::system_clock::time_point time)
{
    using namespace std::chrono;
    const auto sinceEpoch = time.time_since_epoch();
    const auto seconds = floor<std::chrono::seconds>(sinceEpoch);
    const std::time_t whole = seconds.count();
    LogInstant instant;
#ifdef _WIN32
    ::localtime_s(&instant.local, &whole);
    std::tm asUtc = instant.local;
    instant.utcOffsetSeconds = static_cast<long>(::_mkgmtime(&asUtc) - whole);
#else
    ::localtime_r(&whole, &instant.local);
    instant.utcOffsetSeconds = instant.local.tm_gmtoff;
#endif
    instant.milliseconds
        = static_cast<int>(duration_cast<milliseconds>(sinceEpoch - seconds).count());
    return instant;
}

std::string isoTimestamp(const LogInstant& instant)
{
    const std::tm& t = instant.local;
    const long offsetMinutes = std::labs(instant.utcOffsetSeconds) / 60;
    std::array<char, 64> text {};
    const int size = std::snprintf(text.data(), text.size(),
        "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02ld:%02ld", t.tm_year + 1900, t.tm_mon + 1,
        t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, instant.milliseconds,
        instant.utcOffsetSeconds < 0 ? '-' : '+', offsetMinutes / 60, offsetMinutes % 60);
    return {text.data(), static_cast<std::size_t>(size)};
}

std::string timeOfDay(const LogInstant& instant)
{
    std::array<char, 16> text {};
    const int size = std::snprintf(text.data(), text.size(), "%02d:%02d:%02d",
        instant.local.tm_hour, instant.local.tm_min, instant.local.tm_sec);
    return {text.data(), static_cast<std::size_t>(size)};
}

} // namespace clampmeter::cli
