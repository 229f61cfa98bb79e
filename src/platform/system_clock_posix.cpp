// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/system_clock.h"

#include <array>
#include <clocale>
#include <ctime>
#include <langinfo.h>
#include <locale.h>
#include <string_view>

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

/// The user's time format when it shows the seconds; otherwise hours, minutes and seconds,
/// which a reading's time needs (nb_NO, for one, writes "kl. 14.03 +0100").
const char* timePattern()
{
    const std::string_view user = ::nl_langinfo(T_FMT);
    // %r, the 12-hour time, has seconds even where the locale gives no format for it.
    for (const std::string_view withSeconds : {"%S", "%OS", "%T", "%r"}) {
        if (user.find(withSeconds) != std::string_view::npos)
            return "%X";
    }
    return "%T";
}

} // namespace

SystemClock::SystemClock()
{
    // %x and %X follow LC_TIME only once the program has adopted the user's locale.
    std::setlocale(LC_TIME, "");
    m_timeCharset = std::make_unique<LocaleCharset>(timeCodeset());
    m_timePattern = timePattern();
}

CaptureTime SystemClock::now()
{
    const std::time_t seconds = std::time(nullptr);
    std::tm local {};
    localtime_r(&seconds, &local);
    CaptureTime stamp;
    m_timeCharset->appendToUtf8(format("%x", local), stamp.date);
    m_timeCharset->appendToUtf8(format(m_timePattern, local), stamp.time);
    return stamp;
}

} // namespace clampmeter
