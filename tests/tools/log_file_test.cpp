// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The logger's files, real ones: appending, headers, a new file when the name changes, and
// a disk that fills up.

#include "log/log_file_name.h"
#include "log/log_output.h"
#include "log/reading_log.h"
#include "simulator/frame_encoder.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>
#ifndef _WIN32
#include "../support/private_mount.h"
#endif
#ifdef _WIN32
#include "platform/windows_error_text.h"

#include <windows.h>
#endif

namespace clampmeter::cli {
namespace {

namespace fs = std::filesystem;

class FakeClock final : public LogClock {
public:
    LogInstant now() override { return instant; }

    void set(int day, int hour, int minute, int second, int milliseconds)
    {
        instant.local = {};
        instant.local.tm_year = 2026 - 1900;
        instant.local.tm_mon = 11;
        instant.local.tm_mday = day;
        instant.local.tm_hour = hour;
        instant.local.tm_min = minute;
        instant.local.tm_sec = second;
        instant.milliseconds = milliseconds;
        instant.utcOffsetSeconds = 3600;
    }

    LogInstant instant;
};

class LogFiles : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::path(testing::TempDir())
            / ("clampmeter-log-files-" + std::to_string(std::random_device {}()));
        fs::create_directories(m_dir);
        m_clock.set(10, 23, 59, 59, 500);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string read(const std::string& name) const
    {
        std::ifstream in(m_dir / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(m_dir / name, std::ios::binary) << bytes;
    }
    std::string path(const std::string& name) const { return (m_dir / name).string(); }

    static EncodedFrame frame(float volts) { return encodeFrame({.mainValue = volts}); }

    fs::path m_dir;
    FakeClock m_clock;
};

// A calendar day at noon, its weekday and day of the year filled in.
std::tm dayAtNoon(int year, int month, int day)
{
    std::tm t {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    std::mktime(&t);
    return t;
}

TEST(LogFileName, TheNewerFieldsAreWrittenInTheOldOnesEveryRuntimeKnows)
{
    const std::tm thursday = dayAtNoon(2026, 12, 10);
    const std::vector<std::pair<std::string, std::string>> cases {
        {"energy-%F.csv", "energy-%Y-%m-%d.csv"},
        {"%T %D %R %r", "%H:%M:%S %m/%d/%y %H:%M %I:%M:%S %p"},
        {"%h %e %Ey %Od", "%b %#d %y %d"},
        {"%u %C %G-W%V %g", "4 20 2026-W50 26"},
        {"100%% %n%t", "100%% \n\t"},
        {"plain.csv", "plain.csv"},
    };
    for (const auto& [pattern, basic] : cases)
        EXPECT_EQ(basicTimeFields(pattern, thursday), basic) << pattern;
    // ISO weeks that belong to the year before and the year after.
    EXPECT_EQ(basicTimeFields("%G-W%V", dayAtNoon(2027, 1, 1)), "2026-W53");
    EXPECT_EQ(basicTimeFields("%G-W%V", dayAtNoon(2024, 12, 30)), "2025-W01");
    EXPECT_EQ(basicTimeFields("%G-W%V", dayAtNoon(2021, 1, 3)), "2020-W53");
    for (const char* unknown : {"%Q.csv", "log-%", "log-%E"})
        EXPECT_EQ(basicTimeFields(unknown, thursday), std::nullopt) << unknown;
}

TEST(LogFileName, DailyAndWeeklyNamesAreTheSameOnEveryPlatform)
{
    const std::tm thursday = dayAtNoon(2026, 12, 10);
    const std::vector<std::pair<std::string, std::string>> cases {
        {"energy-%F.csv", "energy-2026-12-10.csv"},
        {R"(C:\logs\%Y\energy-%m-%d.csv)", R"(C:\logs\2026\energy-12-10.csv)"},
        {"week-%G-%V.csv", "week-2026-50.csv"},
        {"%Y%m%dT%H%M.jsonl", "20261210T1200.jsonl"},
        {"day-%u.csv", "day-4.csv"},
    };
    for (const auto& [pattern, name] : cases)
        EXPECT_EQ(logFileName(pattern, thursday), name) << pattern;
}

TEST_F(LogFiles, ADailyNameStartsANewFileWithItsHeaderAtMidnight)
{
    const auto output = fileLogOutput(path("energy-%Y-%m-%d.csv"), kCsvHeader);
    ReadingLog log(LogFormat::Csv, *output, m_clock);
    ASSERT_TRUE(output->open(m_clock.now())) << output->failure();
    ASSERT_TRUE(log.log(frame(230.0F)));
    m_clock.set(10, 23, 59, 59, 999);
    ASSERT_TRUE(log.log(frame(231.0F)));
    m_clock.set(11, 0, 0, 0, 0);
    ASSERT_TRUE(log.log(frame(232.0F)));
    EXPECT_EQ(log.readings(), 3U);

    EXPECT_EQ(read("energy-2026-12-10.csv"),
        std::string(kCsvHeader)
            + "2026-12-10T23:59:59.500+01:00,FUN_VAC,230,v,0,Hz,230,0,false,false,@1,false,00\n"
              "2026-12-10T23:59:59.999+01:00,FUN_VAC,231,v,0,Hz,231,0,false,false,@1,false,00\n");
    EXPECT_EQ(read("energy-2026-12-11.csv"),
        std::string(kCsvHeader)
            + "2026-12-11T00:00:00.000+01:00,FUN_VAC,232,v,0,Hz,232,0,false,false,@1,false,00\n");
}

TEST_F(LogFiles, AppendingKeepsEveryByteOfTheFileAndAddsNoSecondHeader)
{
    const std::string earlier = std::string(kCsvHeader) + "old line, \"kept\" as it was\n";
    write("log.csv", earlier);
    const auto output = fileLogOutput(path("log.csv"), kCsvHeader);
    ReadingLog log(LogFormat::Csv, *output, m_clock);
    ASSERT_TRUE(output->open(m_clock.now()));
    ASSERT_TRUE(log.log(frame(230.0F)));
    const std::string text = read("log.csv");
    ASSERT_TRUE(text.starts_with(earlier)) << text;
    EXPECT_EQ(text.substr(earlier.size()),
        "2026-12-10T23:59:59.500+01:00,FUN_VAC,230,v,0,Hz,230,0,false,false,@1,false,00\n");
}

TEST_F(LogFiles, AnEmptyFileGetsTheHeaderAndALineCutShortGetsItsEndFirst)
{
    write("empty.csv", "");
    write("cut.jsonl", "{\"time\":\"2026-12-10T23:59:58.000+01:00\",\"acc");
    const auto empty = fileLogOutput(path("empty.csv"), kCsvHeader);
    ASSERT_TRUE(empty->open(m_clock.now()));
    EXPECT_EQ(read("empty.csv"), kCsvHeader);

    const auto cut = fileLogOutput(path("cut.jsonl"), "");
    ReadingLog log(LogFormat::Jsonl, *cut, m_clock);
    ASSERT_TRUE(cut->open(m_clock.now()));
    ASSERT_TRUE(log.log(frame(230.0F)));
    const std::string text = read("cut.jsonl");
    EXPECT_TRUE(text.starts_with("{\"time\":\"2026-12-10T23:59:58.000+01:00\",\"acc\n"
                                 "{\"time\":\"2026-12-10T23:59:59.500+01:00\",\"accepted\":true,"))
        << text;
}

TEST_F(LogFiles, FailuresNameTheFileAndTheSystemsReason)
{
    const auto missing = fileLogOutput(path("no-such-folder/log.csv"), kCsvHeader);
    EXPECT_FALSE(missing->open(m_clock.now()));
#ifdef _WIN32
    SetLastError(ERROR_PATH_NOT_FOUND);
    const std::string missingFolder = lastWindowsErrorText();
#else
    const std::string missingFolder = "No such file or directory";
#endif
    EXPECT_EQ(missing->failure(),
        "cannot open '" + path("no-such-folder/log.csv") + "': " + missingFolder);

    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    const auto full = fileLogOutput("/dev/full", kCsvHeader);
    EXPECT_FALSE(full->open(m_clock.now()));
    EXPECT_EQ(full->failure(), "cannot write '/dev/full': No space left on device");
    const auto fullJson = fileLogOutput("/dev/full", "");
    ReadingLog log(LogFormat::Jsonl, *fullJson, m_clock);
    ASSERT_TRUE(fullJson->open(m_clock.now()));
    EXPECT_FALSE(log.log(frame(230.0F)));
    EXPECT_EQ(log.readings(), 0U);
    EXPECT_EQ(fullJson->failure(), "cannot write '/dev/full': No space left on device");
}

#ifndef _WIN32
TEST_F(LogFiles, ALineTheDiskTakesOnlyPartOfIsCutOffLeavingNoTornRow)
{
    const clampmeter::test::PrivateMount disk = clampmeter::test::PrivateMount::tmpfs(m_dir, "8k");
    if (!disk.unavailable().empty())
        GTEST_SKIP() << disk.unavailable();
    const auto output = fileLogOutput(path("log.csv"), kCsvHeader);
    ReadingLog log(LogFormat::Csv, *output, m_clock);
    ASSERT_TRUE(output->open(m_clock.now())) << output->failure();
    // Lines until one no longer fits whole: the disk takes the start of it, then refuses.
    while (log.log(frame(230.0F))) { }
    EXPECT_NE(output->failure().find("No space left on device"), std::string::npos)
        << output->failure();
    const std::string text = read("log.csv");
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n') << "a torn row was left at the end";
    EXPECT_EQ(
        static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n')), log.readings() + 1);
}
#endif

TEST_F(LogFiles, AReadingIsOnItsWayToTheBrokerBeforeItsLineIsWrittenAndStillWhenThatFails)
{
    // An output that notes what the broker's side had heard of when each line came, and
    // that fails at the second line (a disk gone, a kill in a slow sync).
    class WatchingOutput final : public LogOutput {
    public:
        explicit WatchingOutput(const int& heard)
            : m_heard(heard)
        {
        }
        bool open(const LogInstant&) override { return true; }
        bool write(const LogInstant&, std::string_view) override
        {
            heardAtLine.push_back(m_heard);
            return heardAtLine.size() < 2;
        }
        std::string failure() const override { return "gone"; }
        std::vector<int> heardAtLine;

    private:
        const int& m_heard;
    };
    int heard = 0;
    WatchingOutput output(heard);
    ReadingLog log(LogFormat::Jsonl, output, m_clock);
    log.setListener([&](const MeasurementFrame&, std::string_view) { ++heard; });
    EXPECT_TRUE(log.log(frame(230.0F)));
    EXPECT_FALSE(log.log(frame(231.0F)));
    EXPECT_EQ(output.heardAtLine, (std::vector<int> {1, 2}));
    EXPECT_EQ(heard, 2) << "the reading the file did not take went to the broker all the same";
    EXPECT_EQ(log.readings(), 1U);
}

TEST_F(LogFiles, StandardOutputGetsTheHeaderOnlyWhenAskedAndEveryLineAtOnce)
{
    std::ostringstream out;
    const auto stream = streamLogOutput(out, kCsvHeader, true);
    ReadingLog log(LogFormat::Csv, *stream, m_clock);
    ASSERT_TRUE(stream->open(m_clock.now()));
    ASSERT_TRUE(log.log(frame(230.0F)));
    EXPECT_TRUE(out.str().starts_with(std::string(kCsvHeader) + "2026-12-10T23:59:59.500"));

    std::ostringstream appended;
    const auto noHeader = streamLogOutput(appended, kCsvHeader, false);
    ASSERT_TRUE(noHeader->open(m_clock.now()));
    EXPECT_EQ(appended.str(), "");
}

} // namespace
} // namespace clampmeter::cli
