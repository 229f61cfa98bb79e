// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/system_clock.h"

#include <array>
#include <clocale>
#include <ctime>
#include <langinfo.h>
#include <locale.h>

namespace clampmeter {
namespace {

std::string format(const char* pattern, const std::tm& local)
{
    std::array<char, 128> buffer {};
    const std::size_t size = std::strftime(buffer.data(), buffer.size(), pattern, &local);
    return {buffer.data(), size};
}

/// The codeset of the LC_TIME locale, which strftime writes in; it may differ from LC_CTYPE.
std::string timeCodeset()
{
    const char* name = std::setlocale(LC_TIME, nullptr);
    const locale_t time = ::newlocale(LC_CTYPE_MASK, name != nullptr ? name : "C", locale_t {});
    if (time == locale_t {})
        return ::nl_langinfo(CODESET);
    std::string codeset = ::nl_langinfo_l(CODESET, time);
    ::freelocale(time);
    return codeset;
}

} // namespace

SystemClock::SystemClock()
{
    // %x and %X follow LC_TIME only once the program has adopted the user's locale.
    std::setlocale(LC_TIME, "");
    m_timeCharset = std::make_unique<LocaleCharset>(timeCodeset());
}

CaptureTime SystemClock::now()
{
    const std::time_t seconds = std::time(nullptr);
    std::tm local {};
    localtime_r(&seconds, &local);
    CaptureTime stamp;
    m_timeCharset->appendToUtf8(format("%x", local), stamp.date);
    m_timeCharset->appendToUtf8(format("%X", local), stamp.time);
    return stamp;
}

} // namespace clampmeter
