// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/chunked_line_writer.h"
#include "list/export_writer.h"
#include "list/text_report_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace clampmeter {
namespace {

class FixedClock final : public CaptureClock {
public:
    CaptureTime now() override
    {
        ++calls;
        return {"10/12/26", "14:03:07"};
    }
    int calls = 0;
};

/// Keeps every chunk it is handed; fails the write numbered `failingWrite` (from 1).
class RecordingFile final : public OutputFile {
public:
    bool write(std::string_view bytes) override
    {
        chunks.emplace_back(bytes);
        return static_cast<int>(chunks.size()) != failingWrite;
    }
    bool commit() override { return true; }
    std::string errorText() const override { return {}; }

    std::string content() const
    {
        std::string all;
        for (const std::string& chunk : chunks)
            all += chunk;
        return all;
    }

    std::vector<std::string> chunks;
    int failingWrite = 0;
};

struct Reading {
    const char* fun;
    const char* data;
    const char* unit;
    const char* date;
    const char* time;
};

void store(VarModule& vars, const std::vector<Reading>& readings)
{
    for (const Reading& reading : readings) {
        DataRecord& record = vars.DataRecords[static_cast<std::size_t>(vars.DataCount)];
        ++vars.DataCount;
        record.No = vars.DataCount;
        record.FunText = reading.fun;
        record.DataText = reading.data;
        record.UnitText = reading.unit;
        record.DateText = reading.date;
        record.TimeText = reading.time;
        record.StampText = std::string(reading.date) + "\\" + reading.time;
    }
}

const Reading kVolts {"FUN_VAC", "229.8", "v", "2024-05-01", "14:03:07"};
const std::vector<Reading> kThreeReadings {
    {"FUN_COS", "----", "PF", "2024-05-01", "14:03:07"},
    {"FUN_VAC", "OL", "v", "2024-05-01", "14:03:08"},
    {"", "", "v", "2024-05-01", "14:03:09"}, // a frame without a function entry
};

class FileWriters : public testing::Test {
protected:
    std::unique_ptr<VarModule> vars = std::make_unique<VarModule>();
    FixedClock clock;
    RecordingFile file;
};

// Column ruler for the report lines:
//  0             14            28            42            56
//  |             |             |             |             |

TEST_F(FileWriters, ReportOfOneRecordIsTitleEmptyLineAndTheRecordLine)
{
    store(*vars, {kVolts});
    ASSERT_TRUE(writeTextReport(*vars, clock, file));
    EXPECT_EQ(file.content(),
        "KR-709W Data Report         10/12/26      14:03:07\r\n"
        "\r\n"
        " 1            FUN_VAC       229.8         v             2024-05-01\\14:03:07\r\n");
    EXPECT_EQ(clock.calls, 1);
}

TEST_F(FileWriters, ReportOfThreeRecordsInStoreOrder)
{
    store(*vars, kThreeReadings);
    ASSERT_TRUE(writeTextReport(*vars, clock, file));
    EXPECT_EQ(file.content(),
        "KR-709W Data Report         10/12/26      14:03:07\r\n"
        "\r\n"
        " 1            FUN_COS       ----          PF            2024-05-01\\14:03:07\r\n"
        " 2            FUN_VAC       OL            v             2024-05-01\\14:03:08\r\n"
        " 3                                        v             2024-05-01\\14:03:09\r\n");
}

TEST_F(FileWriters, ReportIgnoresStaleRecordsBeyondTheCount)
{
    store(*vars, kThreeReadings);
    vars->DataCount = 1;
    ASSERT_TRUE(writeTextReport(*vars, clock, file));
    EXPECT_EQ(file.content(),
        "KR-709W Data Report         10/12/26      14:03:07\r\n"
        "\r\n"
        " 1            FUN_COS       ----          PF            2024-05-01\\14:03:07\r\n");
}

TEST_F(FileWriters, ExportOfOneRecord)
{
    store(*vars, {kVolts});
    ASSERT_TRUE(writeExport(*vars, file));
    EXPECT_EQ(file.content(),
        "NO.;FUN;DATA;UNIT;Time;Date\r\n"
        " 1;FUN_VAC;229.8;v;14:03:07;2024-05-01\r\n");
}

TEST_F(FileWriters, ExportOfThreeRecordsInStoreOrder)
{
    store(*vars, kThreeReadings);
    ASSERT_TRUE(writeExport(*vars, file));
    EXPECT_EQ(file.content(),
        "NO.;FUN;DATA;UNIT;Time;Date\r\n"
        " 1;FUN_COS;----;PF;14:03:07;2024-05-01\r\n"
        " 2;FUN_VAC;OL;v;14:03:08;2024-05-01\r\n"
        " 3;;;v;14:03:09;2024-05-01\r\n");
}

TEST_F(FileWriters, ExportOfNoRecordsIsTheHeaderLineAlone)
{
    ASSERT_TRUE(writeExport(*vars, file));
    EXPECT_EQ(file.content(), "NO.;FUN;DATA;UNIT;Time;Date\r\n");
}

TEST_F(FileWriters, LargeNumbersKeepTheirBlanks)
{
    store(*vars, {kVolts});
    vars->DataRecords[0].No = 50000;
    ASSERT_TRUE(writeExport(*vars, file));
    EXPECT_EQ(file.content(),
        "NO.;FUN;DATA;UNIT;Time;Date\r\n 50000;FUN_VAC;229.8;v;14:03:07;2024-05-01\r\n");
    RecordingFile report;
    ASSERT_TRUE(writeTextReport(*vars, clock, report));
    EXPECT_NE(report.content().find("\r\n 50000        FUN_VAC"), std::string::npos);
}

/// A full store: 50000 records whose dates hold multibyte characters.
void fillStore(VarModule& vars)
{
    store(vars, {{"FUN_KW", "1.234", "kw", "2026년 12월 10일", "14시 03분 07초"}});
    for (std::size_t i = 1; i < kMaxRecords; ++i) {
        vars.DataRecords[i] = vars.DataRecords[0];
        vars.DataRecords[i].No = static_cast<std::int32_t>(i + 1);
    }
    vars.DataCount = kMaxRecords;
}

TEST_F(FileWriters, ChunksOfAFullStoreAreWholeLinesOfAboutTheChunkSize)
{
    fillStore(*vars);
    for (const bool report : {true, false}) {
        SCOPED_TRACE(report ? "report" : "export");
        RecordingFile chunked;
        ASSERT_TRUE(report ? writeTextReport(*vars, clock, chunked) : writeExport(*vars, chunked));
        ASSERT_GT(chunked.chunks.size(), 10U);
        for (std::size_t i = 0; i < chunked.chunks.size(); ++i) {
            const std::string& chunk = chunked.chunks[i];
            ASSERT_TRUE(chunk.ends_with("\r\n")) << "chunk " << i << " ends inside a line";
            ASSERT_LT(chunk.size(), kFileChunkBytes + 200) << "chunk " << i;
            if (i + 1 < chunked.chunks.size()) {
                ASSERT_GE(chunk.size(), kFileChunkBytes)
                    << "chunk " << i << " was handed over early";
            }
        }
        const std::string all = chunked.content();
        const std::string lastLine = report
            ? " 50000        FUN_KW        1.234         kw            2026년 12월 10일\\14시 03분 "
              "07초\r\n"
            : " 50000;FUN_KW;1.234;kw;14시 03분 07초;2026년 12월 10일\r\n";
        EXPECT_TRUE(all.ends_with(lastLine));
        EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), kMaxRecords + (report ? 2 : 1));
    }
}

TEST_F(FileWriters, StopAtTheFirstFailedWrite)
{
    fillStore(*vars);
    for (const bool report : {true, false}) {
        SCOPED_TRACE(report ? "report" : "export");
        RecordingFile failing;
        failing.failingWrite = 2;
        EXPECT_FALSE(report ? writeTextReport(*vars, clock, failing) : writeExport(*vars, failing));
        EXPECT_EQ(failing.chunks.size(), 2U);
    }
}

TEST(ChunkedLineWriter, HandsOverWholeLinesOnceTheChunkIsFull)
{
    RecordingFile file;
    ChunkedLineWriter out(file, 8);
    for (const char* text : {"abc", "defgh", "i", "jk"}) {
        out.line().append(text);
        ASSERT_TRUE(out.endLine());
    }
    ASSERT_TRUE(out.finish());
    EXPECT_EQ(file.chunks, (std::vector<std::string> {"abc\r\ndefgh\r\n", "i\r\njk\r\n"}));
}

TEST(ChunkedLineWriter, NothingFollowsAFailedWrite)
{
    RecordingFile file;
    file.failingWrite = 1;
    ChunkedLineWriter out(file, 4);
    out.line().append("abcd");
    EXPECT_FALSE(out.endLine());
    out.line().append("efgh");
    EXPECT_FALSE(out.endLine());
    EXPECT_FALSE(out.finish());
    EXPECT_EQ(file.chunks.size(), 1U);
}

} // namespace
} // namespace clampmeter
