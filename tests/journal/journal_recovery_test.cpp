// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// After an unexpected end: which session the next start offers, what it says, and the
// readings saved from it as Save and To Excel write them.

#include "journal_fixture.h"

#include "journal/journal_recovery.h"
#include "list/export_writer.h"

#include <map>

namespace clampmeter::test {
namespace {

namespace fs = std::filesystem;

class MemoryFiles final : public OutputFiles {
public:
    std::unique_ptr<OutputFile> create(const std::string& path) override
    {
        class File final : public OutputFile {
        public:
            File(MemoryFiles& files, std::string path)
                : m_files(files)
                , m_path(std::move(path))
            {
            }
            bool write(std::string_view bytes) override
            {
                m_text.append(bytes);
                return !m_files.failing;
            }
            bool commit() override
            {
                if (m_files.failing)
                    return false;
                m_files.saved[m_path] = m_text;
                return true;
            }
            std::string errorText() const override { return "No space left on device"; }

        private:
            MemoryFiles& m_files;
            std::string m_path;
            std::string m_text;
        };
        return std::make_unique<File>(*this, path);
    }
    std::map<std::string, std::string> saved;
    bool failing = false;
};

class SavingClock final : public CaptureClock {
public:
    CaptureTime now() override { return {"11/12/26", "09:00:00"}; }
};

class JournalRecovery : public JournalFixture {
protected:
    /// A session that ends after `readings` readings, `saved` of them saved, cleanly or not.
    void session(const std::string& id, int readings, int saved, bool clean)
    {
        SessionJournal journal = makeJournal(id);
        ASSERT_TRUE(journal.start());
        for (int n = 1; n <= readings; ++n) {
            capture(journal, n);
            if (n == saved)
                journal.listSaved(SavedFormat::Csv, saved);
        }
        if (clean)
            journal.close();
    }
};

TEST_F(JournalRecovery, TheNewestUnfinishedSessionWithUnsavedReadingsIsOfferedBackToACleanEnd)
{
    struct Case {
        const char* what; ///< how the previous run ended, after an older one crashed
        int readings, saved;
        bool clean;
        const char* offered; ///< the session offered, "" for none
        bool latest;
    };
    const Case cases[] = {
        {"a crash with readings not saved", 3, 0, false, "20261210T110000Z-2", true},
        {"a crash with some saved", 3, 2, false, "20261210T110000Z-2", true},
        // Nothing of its own to offer: the older crash's readings are not hidden by it.
        {"a crash after the last was saved", 3, 3, false, "20261210T100000Z-1", false},
        {"a crash before any reading", 0, 0, false, "20261210T100000Z-1", false},
        // A clean end is where looking back stops.
        {"a clean Exit with readings not saved", 3, 0, true, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder());
        session("20261210T090000Z-0", 2, 0, true);
        session("20261210T100000Z-1", 5, 0, false);
        session("20261210T110000Z-2", c.readings, c.saved, c.clean);
        const auto unfinished = findUnfinishedSession(folder(), "20261210T120000Z-3");
        ASSERT_EQ(unfinished.has_value(), std::string(c.offered) != "");
        if (unfinished) {
            EXPECT_EQ(unfinished->path.filename(), std::string(c.offered) + ".journal");
            EXPECT_EQ(unfinished->latest, c.latest);
            EXPECT_TRUE(unfinishedSessionMessage(unfinished->session, unfinished->latest)
                            .starts_with(c.latest ? "The last session ended unexpectedly. "
                                                  : "An earlier session ended unexpectedly. "));
        }
    }
}

TEST_F(JournalRecovery, ASessionStillRunningIsNotThePreviousRun)
{
    session("20261210T100000Z-1", 2, 0, false);
    SessionJournal running = makeJournal("20261210T110000Z-2");
    ASSERT_TRUE(running.start());
    capture(running, 1);
    const auto unfinished = findUnfinishedSession(folder(), "20261210T120000Z-3");
    ASSERT_TRUE(unfinished.has_value());
    EXPECT_EQ(unfinished->path.filename(), "20261210T100000Z-1.journal");
}

TEST_F(JournalRecovery, TheMessageCountsTheUnsavedReadingsAndTheirTimes)
{
    session("20261210T110000Z-2", 4, 1, false);
    const auto unfinished = findUnfinishedSession(folder(), "x");
    ASSERT_TRUE(unfinished.has_value());
    EXPECT_EQ(unfinishedSessionMessage(unfinished->session),
        "The last session ended unexpectedly. Its 3 readings from 10/12/26 14:00:12 to "
        "10/12/26 14:00:14 were not saved.");
    fs::remove_all(folder());
    session("20261210T110000Z-2", 1, 0, false);
    EXPECT_EQ(unfinishedSessionMessage(findUnfinishedSession(folder(), "x")->session),
        "The last session ended unexpectedly. Its 1 reading of 10/12/26 14:00:11 was not "
        "saved.");
}

TEST_F(JournalRecovery, SavingWritesTheListInTheFormatOfTheNameAndMarksItSaved)
{
    session("20261210T110000Z-2", 3, 0, false);
    const auto unfinished = findUnfinishedSession(folder(), "x");
    ASSERT_TRUE(unfinished.has_value());
    MemoryFiles files;
    SavingClock clock;

    files.failing = true;
    EXPECT_EQ(saveUnfinishedSession(*unfinished, "/home/me/lost.csv", files, clock, m_now),
        "Cannot save the file /home/me/lost.csv: No space left on device");
    EXPECT_TRUE(findUnfinishedSession(folder(), "x").has_value()) << "marked saved on failure";

    files.failing = false;
    EXPECT_EQ(saveUnfinishedSession(*unfinished, "/home/me/lost.txt", files, clock, m_now), "");
    EXPECT_EQ(saveUnfinishedSession(*unfinished, "/home/me/lost.csv", files, clock, m_now), "");
    const std::vector<DataRecord> records
        = journalRecords(unfinished->session, JournalRange::SinceLastClear);
    EXPECT_TRUE(files.saved["/home/me/lost.txt"].starts_with("KR-709W Data Report"));
    EXPECT_EQ(records.size(), 3U);
    EXPECT_TRUE(files.saved["/home/me/lost.csv"].starts_with("NO.;FUN;DATA;UNIT;Time;Date\r\n 1;"));
    EXPECT_FALSE(findUnfinishedSession(folder(), "x").has_value())
        << "the journal does not say the readings were saved";
}

} // namespace
} // namespace clampmeter::test
