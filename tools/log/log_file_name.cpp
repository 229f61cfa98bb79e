// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/log_file_name.h"

#include <array>
#include <cstdio>
#include <vector>

namespace clampmeter::cli {
namespace {

// Room for any path (PATH_MAX) with its terminator, and more.
constexpr std::size_t kLongestName = 8192;

// The fields of C89's strftime, which pass as they are.
constexpr std::string_view kBasicFields = "aAbBcdHIjmMpSUwWxXyYzZ%";

std::string twoDigits(int value)
{
    std::array<char, 16> text {};
    std::snprintf(text.data(), text.size(), "%02d", value);
    return text.data();
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// ISO 8601 weeks start on Monday; week 1 holds the year's first Thursday.
int isoWeeksIn(int year)
{
    // The weekday of 1 January (Monday 0) on the Gregorian calendar.
    const int y = year - 1;
    const int januaryFirst = (y + y / 4 - y / 100 + y / 400) % 7;
    return januaryFirst == 3 || (januaryFirst == 2 && isLeapYear(year)) ? 53 : 52;
}

struct IsoWeek {
    int year;
    int week;
};

IsoWeek isoWeek(const std::tm& local)
{
    const int year = local.tm_year + 1900;
    const int mondayBased = (local.tm_wday + 6) % 7;
    const int week = (local.tm_yday - mondayBased + 10) / 7;
    if (week < 1)
        return {year - 1, isoWeeksIn(year - 1)};
    if (week > isoWeeksIn(year))
        return {year + 1, 1};
    return {year, week};
}

// What a C99 or POSIX field stands for, as C89 fields or as text; nothing for a field that
// is not strftime's.
std::optional<std::string> basicField(char field, const std::tm& local)
{
    switch (field) {
    case 'F':
        return "%Y-%m-%d";
    case 'T':
        return "%H:%M:%S";
    case 'D':
        return "%m/%d/%y";
    case 'R':
        return "%H:%M";
    case 'r':
        return "%I:%M:%S %p";
    case 'h':
        return "%b";
    case 'e':
        return "%#d";
    case 'n':
        return "\n";
    case 't':
        return "\t";
    case 'u':
        return std::to_string(local.tm_wday == 0 ? 7 : local.tm_wday);
    case 'C':
        return twoDigits((local.tm_year + 1900) / 100);
    case 'G':
        return std::to_string(isoWeek(local).year);
    case 'g':
        return twoDigits(isoWeek(local).year % 100);
    case 'V':
        return twoDigits(isoWeek(local).week);
    default:
        if (kBasicFields.find(field) != std::string_view::npos)
            return std::string {'%', field};
        return std::nullopt;
    }
}

} // namespace

std::string logFileName(std::string_view pattern, const std::tm& local)
{
    if (pattern.find('%') == std::string_view::npos)
        return std::string(pattern);
#ifdef _WIN32
    // Windows' runtime knows C89's fields alone: the others are written in those first.
    const std::optional<std::string> basic = basicTimeFields(pattern, local);
    if (!basic)
        return {};
    const std::string& format = *basic;
#else
    const std::string format(pattern);
#endif
    std::vector<char> name(kLongestName);
    const std::size_t size = std::strftime(name.data(), name.size(), format.c_str(), &local);
    return {name.data(), size};
}

std::optional<std::string> basicTimeFields(std::string_view pattern, const std::tm& local)
{
    std::string format;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            format += pattern[i];
            continue;
        }
        ++i;
        if (i < pattern.size() && (pattern[i] == 'E' || pattern[i] == 'O'))
            ++i;
        if (i >= pattern.size())
            return std::nullopt;
        const std::optional<std::string> field = basicField(pattern[i], local);
        if (!field)
            return std::nullopt;
        format += *field;
    }
    return format;
}

} // namespace clampmeter::cli
