// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <ctime>
#include <string>

namespace clampmeter::cli {

/// One instant in the machine's local time.
struct LogInstant {
    std::tm local {}; ///< broken-down local time (tm_year from 1900, tm_mon from 0)
    int milliseconds = 0; ///< 0 … 999
    long utcOffsetSeconds = 0; ///< local time minus UTC: +3600 for 14:00+01:00
};

/// Where the logger gets the time of a reading; tests fix it.
class LogClock {
public:
    LogClock() = default;
    LogClock(const LogClock&) = delete;
    LogClock& operator=(const LogClock&) = delete;
    virtual ~LogClock() = default;

    virtual LogInstant now() = 0;
};

/// The machine's clock in the time zone of TZ or the system's.
class SystemLogClock final : public LogClock {
public:
    SystemLogClock();
    LogInstant now() override;
};

/// The instant `time` in the machine's local time.
LogInstant logInstantAt(std::chrono::system_clock::time_point time);

/// ISO 8601 local time with milliseconds and the UTC offset: "2026-12-10T14:03:07.250+01:00".
std::string isoTimestamp(const LogInstant& instant);

/// The time of day alone, "14:03:07", for the status line.
std::string timeOfDay(const LogInstant& instant);

} // namespace clampmeter::cli
