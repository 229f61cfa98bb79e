// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "journal/journal_reader.h"
#include "journal/session_journal.h"
#include "simulator/frame_encoder.h"

#include "../registry/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace clampmeter::test {

/// The n-th reading of a test: a volts frame of value n, texts that name it.
struct NumberedReading {
    EncodedFrame frame;
    DataRecord record;
};

inline NumberedReading numberedReading(int n)
{
    FrameFields fields;
    fields.functionCode = 1;
    fields.mainValue = static_cast<float>(n);
    NumberedReading reading {encodeFrame(fields), {}};
    reading.record.FunText = "FUN_VAC";
    reading.record.DataText = std::to_string(n) + ".0";
    reading.record.UnitText = "v";
    reading.record.DateText = "10/12/26";
    reading.record.TimeText = "14:00:" + std::to_string(10 + n % 50);
    reading.record.StampText = reading.record.DateText + "\\" + reading.record.TimeText;
    return reading;
}

/// A session journal in a folder of the test's own, on a clock that moves 1 ms a call, with
/// the failures it tells kept.
class JournalFixture : public ::testing::Test {
protected:
    std::filesystem::path folder() const
    {
        return m_temp.path() / "state" / "clampmeter" / "sessions";
    }

    /// Where the demo keeps its sessions, beside the meter's.
    std::filesystem::path demoFolder() const
    {
        return m_temp.path() / "state" / "clampmeter" / "demo-sessions";
    }

    SessionJournal makeJournal(
        const std::string& id = "20261210T130000Z-1", const std::filesystem::path& in = {})
    {
        return SessionJournal(
            {in.empty() ? folder() : in, id, "clampmeter test", 1},
            [this] { return m_now += std::chrono::milliseconds(1); },
            [this](const std::string& reason) { m_failures.push_back(reason); });
    }

    static void capture(SessionJournal& journal, int n, bool stored = true)
    {
        const NumberedReading reading = numberedReading(n);
        journal.readingCaptured(FrameBytes(reading.frame), reading.record, stored);
    }

    /// The data texts of the journal's readings, in order.
    static std::vector<std::string> dataTexts(const JournalSession& session)
    {
        std::vector<std::string> texts;
        for (const JournalReading& reading : session.readings)
            texts.push_back(reading.record.DataText);
        return texts;
    }

    static std::vector<std::string> dataTextsOf(int first, int last)
    {
        std::vector<std::string> texts;
        for (int n = first; n <= last; ++n)
            texts.push_back(std::to_string(n) + ".0");
        return texts;
    }

    JournalSession readBack(const std::filesystem::path& path) const
    {
        std::string reason;
        const auto session = readJournalFile(path, reason);
        EXPECT_TRUE(session.has_value()) << reason;
        return session.value_or(JournalSession {});
    }

    TempFolder m_temp;
    UtcTime m_now = UtcTime(std::chrono::sys_days(std::chrono::year(2026) / 12 / 10));
    std::vector<std::string> m_failures;
};

} // namespace clampmeter::test
