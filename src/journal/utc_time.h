// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace clampmeter {

using UtcTime = std::chrono::system_clock::time_point;

/// An instant's calendar date and time of day in UTC.
struct UtcFields {
    int year = 1970;
    unsigned month = 1; ///< 1 … 12
    unsigned day = 1; ///< 1 … 31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};
UtcFields utcFields(UtcTime time);

/// ISO 8601 in UTC with milliseconds: "2026-12-10T22:03:17.250Z".
std::string utcTimestamp(UtcTime time);

/// Reads what utcTimestamp writes; nothing for any other text.
std::optional<UtcTime> parseUtcTimestamp(std::string_view text);

/// The instant in the machine's local time, "2026-12-10 23:03:17", for people.
std::string localDateTime(UtcTime time);

} // namespace clampmeter
