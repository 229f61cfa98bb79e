// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/system_clock.h"

#include <array>
#include <windows.h>

namespace clampmeter {

SystemClock::SystemClock() = default;

CaptureTime SystemClock::now()
{
    SYSTEMTIME local {};
    GetLocalTime(&local);
    std::array<char, 128> date {};
    std::array<char, 128> time {};
    const int dateSize = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr,
        date.data(), static_cast<int>(date.size()));
    const int timeSize = GetTimeFormatA(
        LOCALE_USER_DEFAULT, 0, &local, nullptr, time.data(), static_cast<int>(time.size()));
    // The returned sizes count the terminating zero.
    return {std::string(date.data(), dateSize > 0 ? static_cast<std::size_t>(dateSize - 1) : 0),
        std::string(time.data(), timeSize > 0 ? static_cast<std::size_t>(timeSize - 1) : 0)};
}

} // namespace clampmeter
