// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The session journal's lines: what is written reads back the same, whatever the texts hold,
// and a line that is not whole reads back as nothing.

#include "journal/journal_line.h"
#include "journal/utc_time.h"
#include "shared/flat_json.h"
#include "simulator/frame_encoder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace clampmeter {
namespace {

using namespace std::chrono;

DataRecord recordWith(
    std::string fun, std::string data, std::string unit, std::string date, std::string time)
{
    DataRecord record;
    record.FunText = std::move(fun);
    record.DataText = std::move(data);
    record.UnitText = std::move(unit);
    record.DateText = std::move(date);
    record.TimeText = std::move(time);
    return record;
}

std::array<std::uint8_t, kFrameSize> voltsFrame(float value)
{
    FrameFields fields;
    fields.functionCode = 1;
    fields.mainValue = value;
    return encodeFrame(fields);
}

TEST(JournalLine, AReadingReadsBackWithItsTextsFrameValueAndStamp)
{
    struct Case {
        const char* what;
        DataRecord record;
        bool stored;
    };
    const Case cases[] = {
        {"plain", recordWith("FUN_VAC", "229.8", "v", "10/12/26", "14:02:55"), true},
        {"unknown function", recordWith("", "", "v", "2026-12-10", "14:02:55"), true},
        {"quotes and backslashes", recordWith("\"x\\", "O\"L", "\\", "a\\b", "\"\""), true},
        {"control characters", recordWith("\t", "\n", "\r", std::string("\x01\x1f", 2), "\b"),
            true},
        {"letters beyond ASCII", recordWith("FUN_KW", "----", "kw", "10. Dez. 2026", "14時02分"),
            false},
    };
    const auto frame = voltsFrame(229.9F);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string line;
        appendReadingLine(line, "2026-12-10T13:02:55.250Z", frame, c.record, c.stored);
        ASSERT_EQ(line.back(), '\n');
        ASSERT_EQ(line.find('\n'), line.size() - 1) << "one line per reading";
        const auto entry = parseJournalLine(std::string_view(line).substr(0, line.size() - 1));
        ASSERT_TRUE(entry.has_value()) << line;
        EXPECT_EQ(entry->event, JournalEvent::Reading);
        EXPECT_EQ(entry->utc, "2026-12-10T13:02:55.250Z");
        EXPECT_EQ(entry->record.FunText, c.record.FunText);
        EXPECT_EQ(entry->record.DataText, c.record.DataText);
        EXPECT_EQ(entry->record.UnitText, c.record.UnitText);
        EXPECT_EQ(entry->record.DateText, c.record.DateText);
        EXPECT_EQ(entry->record.TimeText, c.record.TimeText);
        EXPECT_EQ(entry->record.StampText, c.record.DateText + "\\" + c.record.TimeText);
        EXPECT_EQ(entry->record.Value, static_cast<double>(229.9F));
        EXPECT_EQ(entry->frame, frame);
        EXPECT_EQ(entry->stored, c.stored);
    }
}

TEST(JournalLine, MarkersReadBackAsTheirEvents)
{
    const auto start
        = parseJournalLine(startLine("2026-12-10T13:00:00.000Z", "clampmeter 1.2", 42));
    ASSERT_TRUE(start.has_value());
    EXPECT_EQ(start->event, JournalEvent::Start);
    EXPECT_EQ(start->program, "clampmeter 1.2");
    EXPECT_EQ(start->pid, 42);

    const auto saved
        = parseJournalLine(savedLine("2026-12-10T13:00:01.000Z", SavedFormat::Csv, 120));
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->event, JournalEvent::Saved);
    EXPECT_EQ(saved->format, SavedFormat::Csv);
    EXPECT_EQ(saved->records, 120);

    const auto clear = parseJournalLine(clearLine("2026-12-10T13:00:02.000Z"));
    ASSERT_TRUE(clear.has_value());
    EXPECT_EQ(clear->event, JournalEvent::Clear);
    EXPECT_EQ(clear->utc, "2026-12-10T13:00:02.000Z");

    const auto end = parseJournalLine(endLine("2026-12-10T13:00:03.000Z"));
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->event, JournalEvent::End);
}

TEST(JournalLine, ALineThatIsNotWholeOrNotOursReadsAsNothing)
{
    std::string reading;
    appendReadingLine(reading, "2026-12-10T13:02:55.250Z", voltsFrame(1.0F),
        recordWith("FUN_VAC", "1.0", "v", "d", "t"), true);
    reading.pop_back();
    // Every cut of a whole line, as a crash part-way through a write leaves it.
    for (std::size_t cut = 0; cut < reading.size(); ++cut)
        EXPECT_FALSE(parseJournalLine(reading.substr(0, cut)).has_value()) << cut;

    const char* const others[] = {
        R"({"event":"reading","utc":"x","fun":"","data":"","unit":"","date":"","time":"","frame":"68"})",
        R"({"event":"reading","utc":"x","fun":"","data":"","unit":"","date":"","time":""})",
        R"({"event":"lunch","utc":"x"})",
        R"({"utc":"x"})",
        R"({"event":"saved","utc":"x","format":"pdf","records":1})",
        R"({"event":"saved","utc":"x","format":"csv","records":-1})",
        R"({"event":"saved","utc":"x","format":"csv","records":1.5})",
        R"({"event":"end","utc":"x"} trailing)",
        R"({"event":"end","utc":"x","nested":{}})",
        R"({"event":"end","utc":"\ud800"})",
        "\x00\x00\x00",
        "",
    };
    for (const char* other : others)
        EXPECT_FALSE(parseJournalLine(other).has_value()) << other;
}

TEST(FlatJson, EscapesReadBackAsTheTextsTheyStandFor)
{
    const auto object = parseFlatJsonObject(
        R"( { "a" : "\"\\\/\b\f\n\r\t" , "b":"\u00e9\u6642\ud83d\ude00", "n": -12, "t":true, "z":null } )");
    ASSERT_TRUE(object.has_value());
    EXPECT_EQ(object->text("a"), "\"\\/\b\f\n\r\t");
    EXPECT_EQ(object->text("b"), "\xc3\xa9\xe6\x99\x82\xf0\x9f\x98\x80");
    EXPECT_EQ(object->number("n"), -12);
    EXPECT_EQ(object->truth("t"), true);
    EXPECT_FALSE(object->text("z").has_value());
    EXPECT_FALSE(object->text("n").has_value()) << "a number is not a text";
    EXPECT_FALSE(object->number("missing").has_value());
}

TEST(UtcTime, TimestampsReadBackToTheMillisecondAndOthersDoNot)
{
    const UtcTime times[] = {
        UtcTime(sys_days(year(2026) / 12 / 10) + hours(22) + minutes(3) + seconds(17)
            + milliseconds(250)),
        UtcTime(sys_days(year(2024) / 2 / 29) + hours(23) + minutes(59) + seconds(59)
            + milliseconds(999)),
        UtcTime(sys_days(year(1970) / 1 / 1)),
    };
    for (const UtcTime time : times) {
        const std::string text = utcTimestamp(time);
        EXPECT_EQ(parseUtcTimestamp(text), time) << text;
    }
    EXPECT_EQ(utcTimestamp(times[0]), "2026-12-10T22:03:17.250Z");
    for (const char* bad : {"2026-12-10T22:03:17Z", "2026-02-30T00:00:00.000Z",
             "2026-12-10 22:03:17.250Z", "2026-12-10T24:00:00.000Z", "2026-12-10T22:03:17.25xZ"})
        EXPECT_FALSE(parseUtcTimestamp(bad).has_value()) << bad;
}

} // namespace
} // namespace clampmeter
