// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A journal read back: which readings the list held at the end, which of them no save held,
// and the records they make, numbered as the list numbered them.

#include "journal_fixture.h"

#include <sstream>

namespace clampmeter::test {
namespace {

/// A journal from a script: a number n is reading n, "c" a clear, "s<n>" a save of n
/// records, "f<n>" reading n while the list was full, "e" the clean end.
JournalSession scripted(std::initializer_list<std::string> script)
{
    std::string text = startLine("2026-12-10T13:00:00.000Z", "clampmeter", 7);
    for (const std::string& step : script) {
        if (step == "c") {
            text += clearLine("2026-12-10T13:00:01.000Z");
        } else if (step == "e") {
            text += endLine("2026-12-10T13:00:02.000Z");
        } else if (step[0] == 's') {
            text += savedLine(
                "2026-12-10T13:00:01.000Z", SavedFormat::Csv, std::stoi(step.substr(1)));
        } else {
            const bool full = step[0] == 'f';
            const NumberedReading reading
                = numberedReading(std::stoi(full ? step.substr(1) : step));
            appendReadingLine(
                text, "2026-12-10T13:00:01.000Z", FrameBytes(reading.frame), reading.record, !full);
        }
    }
    std::istringstream in(text);
    return readJournal(in);
}

TEST(JournalReader, TheListAtTheEndAndWhatNoSaveHeld)
{
    struct Case {
        const char* what;
        JournalSession session;
        std::size_t listStart;
        std::size_t unsaved;
        const char* firstUnsaved; ///< DataText, or null
        bool clean;
    };
    const Case cases[] = {
        {"nothing saved", scripted({"1", "2", "3"}), 0, 3, "1.0", false},
        {"all saved", scripted({"1", "2", "s2", "e"}), 0, 0, nullptr, true},
        {"some came after the save", scripted({"1", "2", "s2", "3"}), 0, 1, "3.0", false},
        {"a clear forgets the save", scripted({"1", "s1", "c", "2", "3"}), 1, 2, "2.0", false},
        {"a clear with nothing after", scripted({"1", "2", "c"}), 2, 0, nullptr, false},
        {"the larger of two saves", scripted({"1", "2", "s2", "3", "s1"}), 0, 1, "3.0", false},
        {"readings of a full list count", scripted({"1", "2", "s2", "f3", "f4"}), 0, 2, "3.0",
            false},
        {"a save of more than there are", scripted({"1", "s5"}), 0, 0, nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.session.listStart, c.listStart);
        EXPECT_EQ(c.session.unsavedReadings(), c.unsaved);
        const JournalReading* first = firstUnsavedReading(c.session);
        EXPECT_EQ(first == nullptr ? std::string("none") : first->record.DataText,
            c.firstUnsaved == nullptr ? std::string("none") : std::string(c.firstUnsaved));
        EXPECT_EQ(c.session.endedCleanly, c.clean);
    }
}

TEST(JournalReader, RecordsAreNumberedFromOneAsTheListNumberedThem)
{
    const JournalSession session = scripted({"1", "2", "c", "3", "4", "f5"});
    const std::vector<DataRecord> list = journalRecords(session, JournalRange::SinceLastClear);
    ASSERT_EQ(list.size(), 3U);
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].No, static_cast<std::int32_t>(i + 1));
        EXPECT_EQ(list[i].DataText, std::to_string(i + 3) + ".0");
        EXPECT_EQ(list[i].Value, static_cast<double>(i + 3));
        EXPECT_EQ(list[i].StampText, list[i].DateText + "\\" + list[i].TimeText);
    }
    const std::vector<DataRecord> all = journalRecords(session, JournalRange::All);
    ASSERT_EQ(all.size(), 5U);
    EXPECT_EQ(all.front().DataText, "1.0");
    EXPECT_EQ(all.back().No, 5);
}

TEST(JournalReader, BrokenLinesArePassedOverWhereverTheyAre)
{
    std::string text = startLine("2026-12-10T13:00:00.000Z", "clampmeter", 7);
    const NumberedReading one = numberedReading(1);
    std::string line;
    appendReadingLine(line, "2026-12-10T13:00:01.000Z", FrameBytes(one.frame), one.record, true);
    // A cut line closed by a later append, a whole one, a cut one at the end.
    text += line.substr(0, 30) + "\n" + line + line.substr(0, line.size() - 3);
    std::istringstream in(text);
    const JournalSession session = readJournal(in);
    EXPECT_EQ(session.readings.size(), 1U);
    EXPECT_EQ(session.brokenLines, 2U);
}

} // namespace
} // namespace clampmeter::test
