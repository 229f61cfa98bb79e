// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/system_clock.h"

#include <array>
#include <clocale>
#include <ctime>

namespace clampmeter {
namespace {

std::string format(const char* pattern, const std::tm& local)
{
    std::array<char, 128> buffer {};
    const std::size_t size = std::strftime(buffer.data(), buffer.size(), pattern, &local);
    return {buffer.data(), size};
}

} // namespace

SystemClock::SystemClock()
{
    // %x and %X follow LC_TIME only once the program has adopted the user's locale.
    std::setlocale(LC_TIME, "");
}

CaptureTime SystemClock::now()
{
    const std::time_t seconds = std::time(nullptr);
    std::tm local {};
    localtime_r(&seconds, &local);
    return {format("%x", local), format("%X", local)};
}

} // namespace clampmeter
