// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The machine's clock as captured readings get it: date and time of one instant, the time
// with its seconds, both in the formats of the user's LC_TIME.

#include "../registry/temp_folder.h"
#include "platform/system_clock.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <optional>
#include <ostream>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace clampmeter {
namespace {

/// The environment variables these tests change; each test gets them back as they were.
constexpr std::array kVariables {"TZ", "LC_ALL", "LC_TIME", "LANG", "LOCPATH"};

class ClockEnvironment : public testing::Test {
protected:
    void SetUp() override
    {
        for (std::size_t i = 0; i < kVariables.size(); ++i) {
            if (const char* value = std::getenv(kVariables[i]))
                m_saved[i] = value;
            ::unsetenv(kVariables[i]);
        }
    }
    void TearDown() override
    {
        for (std::size_t i = 0; i < kVariables.size(); ++i) {
            if (m_saved[i])
                ::setenv(kVariables[i], m_saved[i]->c_str(), 1);
            else
                ::unsetenv(kVariables[i]);
        }
        ::tzset();
        std::setlocale(LC_TIME, "C");
    }

private:
    std::array<std::optional<std::string>, kVariables.size()> m_saved;
};

/// The C locale's date and time of `second`, in local time.
CaptureTime cLocaleTexts(std::time_t second)
{
    std::tm local {};
    localtime_r(&second, &local);
    std::array<char, 32> date {};
    std::array<char, 32> time {};
    std::strftime(date.data(), date.size(), "%m/%d/%y", &local);
    std::strftime(time.data(), time.size(), "%H:%M:%S", &local);
    return {date.data(), time.data()};
}

using SystemClockTexts = ClockEnvironment;

TEST_F(SystemClockTexts, DateAndTimeComeFromOneInstantAcrossMidnight)
{
    // A time zone whose midnight falls within a second from now, so that a date and a time
    // read from two instants would pair one day's date with the next day's time.
    const std::time_t midnight = std::time(nullptr) + 1;
    const long westOfUtc = static_cast<long>(midnight % 86400); // local = UTC - westOfUtc
    std::array<char, 32> zone {};
    std::snprintf(zone.data(), zone.size(), "CLK+%02ld:%02ld:%02ld", westOfUtc / 3600,
        westOfUtc / 60 % 60, westOfUtc % 60);
    ::setenv("TZ", zone.data(), 1);
    ::setenv("LC_ALL", "C", 1);
    ::tzset();
    ASSERT_EQ(cLocaleTexts(midnight).time, "00:00:00") << zone.data();

    // Read until the clock has passed midnight, however fast or slow the machine is; each
    // reading must match one second between the clock read before it and after it.
    std::map<std::time_t, CaptureTime> expected;
    auto textsOf = [&expected](std::time_t second) -> const CaptureTime& {
        const auto [known, added] = expected.try_emplace(second);
        if (added)
            known->second = cLocaleTexts(second);
        return known->second;
    };
    std::set<std::string> dates;
    std::set<std::string> times;
    SystemClock clock;
    const std::time_t giveUp = midnight + 5;
    for (std::time_t before = std::time(nullptr); before <= midnight && before < giveUp;
         before = std::time(nullptr)) {
        const CaptureTime stamp = clock.now();
        const std::time_t after = std::time(nullptr);
        bool fromOneInstant = false;
        for (std::time_t second = before; second <= after && !fromOneInstant; ++second)
            fromOneInstant
                = stamp.date == textsOf(second).date && stamp.time == textsOf(second).time;
        ASSERT_TRUE(fromOneInstant) << stamp.date << ' ' << stamp.time << " read between "
                                    << textsOf(before).time << " and " << textsOf(after).time;
        dates.insert(stamp.date);
        times.insert(stamp.time);
    }
    EXPECT_EQ(dates.size(), 2U) << "the readings did not cross midnight";
    EXPECT_TRUE(times.count("23:59:59") == 1 && times.count("00:00:00") == 1);
}

/// Locales built for these tests with localedef, each when first needed, into a folder of
/// their own (LOCPATH): this machine may have none but C.
class BuiltLocales {
public:
    static BuiltLocales& instance()
    {
        static BuiltLocales built;
        return built;
    }
    const std::string& folder() const { return m_folder.path().native(); }

    /// Builds `name` (such as de_DE.UTF-8) unless built before; false when localedef cannot.
    bool build(const std::string& name)
    {
        if (const auto known = m_results.find(name); known != m_results.end())
            return known->second;
        const std::string input = name.substr(0, name.find('.'));
        const std::string command = "localedef -i " + input + " -f UTF-8 '"
            + (m_folder.path() / name).string() + "' >/dev/null 2>&1";
        return m_results[name] = std::system(command.c_str()) == 0;
    }

private:
    TempFolder m_folder;
    std::map<std::string, bool> m_results;
};

struct LocaleCase {
    const char* name;
    const char* lcAll; ///< nullptr: unset
    const char* lcTime;
    const char* lang;
    const char* date; ///< pattern of the whole date text
    const char* time; ///< pattern of the whole time text; its first group is the seconds
};

void PrintTo(const LocaleCase& row, std::ostream* out)
{
    *out << row.name;
}

constexpr const char* kGermanDate = "[0-9]{2}\\.[0-9]{2}\\.[0-9]{4}";
constexpr const char* kAmericanDate = "[0-9]{2}/[0-9]{2}/[0-9]{4}";
constexpr const char* kTime24 = "[0-9]{2}:[0-9]{2}:([0-9]{2})";
constexpr const char* kTime12 = "[0-9]{2}:[0-9]{2}:([0-9]{2}) [AP]M";

const LocaleCase kLocaleCases[] = {
    {"NothingSetIsC", nullptr, nullptr, nullptr, "[0-9]{2}/[0-9]{2}/[0-9]{2}", kTime24},
    {"LcTime", nullptr, "de_DE.UTF-8", nullptr, kGermanDate, kTime24},
    {"Lang", nullptr, nullptr, "en_US.UTF-8", kAmericanDate, kTime12},
    {"LcTimeBeforeLang", nullptr, "de_DE.UTF-8", "en_US.UTF-8", kGermanDate, kTime24},
    {"LcAllBeforeLcTime", "en_US.UTF-8", "de_DE.UTF-8", nullptr, kAmericanDate, kTime12},
    // This locale's own time format stops at the minutes (and adds the zone).
    {"SecondsWhereTheFormatHasNone", nullptr, "nb_NO.UTF-8", nullptr, "[0-9]{2}\\. [^ ]+ [0-9]{4}",
        kTime24},
};

class SystemClockFormats : public ClockEnvironment,
                           public testing::WithParamInterface<LocaleCase> { };

INSTANTIATE_TEST_SUITE_P(Locales, SystemClockFormats, testing::ValuesIn(kLocaleCases),
    [](const testing::TestParamInfo<LocaleCase>& row) { return std::string(row.param.name); });

TEST_P(SystemClockFormats, FollowTheUsersLcTimeAndShowSeconds)
{
    const LocaleCase& row = GetParam();
    for (const char* locale : {row.lcAll, row.lcTime, row.lang}) {
        if (locale != nullptr && !BuiltLocales::instance().build(locale))
            GTEST_SKIP() << "localedef cannot build " << locale << " here";
    }
    ::setenv("LOCPATH", BuiltLocales::instance().folder().c_str(), 1);
    const std::pair<const char*, const char*> settings[]
        = {{"LC_ALL", row.lcAll}, {"LC_TIME", row.lcTime}, {"LANG", row.lang}};
    for (const auto& [variable, value] : settings) {
        if (value != nullptr)
            ::setenv(variable, value, 1);
    }

    SystemClock clock;
    const std::time_t before = std::time(nullptr);
    const CaptureTime stamp = clock.now();
    const std::time_t after = std::time(nullptr);

    EXPECT_TRUE(std::regex_match(stamp.date, std::regex(row.date))) << stamp.date;
    std::smatch time;
    ASSERT_TRUE(std::regex_match(stamp.time, time, std::regex(row.time))) << stamp.time;
    std::tm first {};
    std::tm last {};
    localtime_r(&before, &first);
    localtime_r(&after, &last);
    const int seconds = std::stoi(time[1].str());
    EXPECT_TRUE(seconds == first.tm_sec || seconds == last.tm_sec) << stamp.time;
}

} // namespace
} // namespace clampmeter
