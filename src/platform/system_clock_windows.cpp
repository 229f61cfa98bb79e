// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/system_clock.h"

#include <array>
#include <string>
#include <windows.h>

namespace clampmeter {

namespace {

/// UTF-16 text of `size` characters, the terminating zero counted, as UTF-8.
std::string toUtf8(const wchar_t* text, int size)
{
    if (size <= 1)
        return {};
    const int length = size - 1;
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

} // namespace

// The wide functions give the user's formats in full, whatever the ANSI code page holds.
SystemClock::SystemClock() = default;

CaptureTime SystemClock::now()
{
    SYSTEMTIME local {};
    GetLocalTime(&local);
    std::array<wchar_t, 128> date {};
    std::array<wchar_t, 128> time {};
    const int dateSize = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr,
        date.data(), static_cast<int>(date.size()));
    const int timeSize = GetTimeFormatW(
        LOCALE_USER_DEFAULT, 0, &local, nullptr, time.data(), static_cast<int>(time.size()));
    return {toUtf8(date.data(), dateSize), toUtf8(time.data(), timeSize)};
}

} // namespace clampmeter
