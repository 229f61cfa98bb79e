// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's session journal on real files: what it writes reads back, each reading is in
// the file the moment it is captured, and a full or read-only disk loses nothing it can keep.

#include "journal_fixture.h"

#include "journal/journal_file.h"

#ifndef _WIN32
#include "private_mount.h"

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <fstream>

namespace clampmeter::test {
namespace {

namespace fs = std::filesystem;

class SessionJournalTest : public JournalFixture { };

TEST_F(SessionJournalTest, EverythingToldReadsBackInOrderWithACleanEnd)
{
    SessionJournal journal = makeJournal();
    ASSERT_TRUE(journal.start());
    capture(journal, 1);
    capture(journal, 2);
    journal.listSaved(SavedFormat::Report, 2);
    capture(journal, 3);
    journal.listCleared();
    capture(journal, 4);
    capture(journal, 5, false);
    journal.close();

    const JournalSession session = readBack(journal.filePath());
    EXPECT_EQ(session.program, "clampmeter test");
    EXPECT_EQ(dataTexts(session), dataTextsOf(1, 5));
    EXPECT_EQ(session.listStart, 3U);
    EXPECT_EQ(session.listReadings(), 2U);
    EXPECT_EQ(session.unsavedReadings(), 2U);
    EXPECT_FALSE(session.readings[4].stored);
    EXPECT_TRUE(session.endedCleanly);
    EXPECT_EQ(session.brokenLines, 0U);
    EXPECT_EQ(session.startUtc, "2026-12-10T00:00:00.001Z");
    EXPECT_TRUE(m_failures.empty());
}

TEST_F(SessionJournalTest, EachReadingIsInTheFileOnceCapturedAndTheFileIsHeldWhileOpen)
{
    SessionJournal journal = makeJournal();
    ASSERT_TRUE(journal.start());
    EXPECT_TRUE(journalFileInUse(journal.filePath()));
    for (int n = 1; n <= 3; ++n) {
        capture(journal, n);
        EXPECT_EQ(readBack(journal.filePath()).readings.size(), static_cast<std::size_t>(n))
            << "a reading waited for a sync or a close";
    }
    EXPECT_TRUE(journal.needsSync());
    journal.sync();
    EXPECT_FALSE(journal.needsSync());
    EXPECT_FALSE(readBack(journal.filePath()).endedCleanly);

    // A second program cannot take the same session.
    SessionJournal other = makeJournal();
    EXPECT_FALSE(other.start());
    EXPECT_EQ(m_failures.size(), 1U);

    journal.close();
    EXPECT_FALSE(journalFileInUse(journal.filePath()));
}

#ifndef _WIN32

TEST_F(SessionJournalTest, FolderAndFileAreTheUsersOwn)
{
    SessionJournal journal = makeJournal();
    ASSERT_TRUE(journal.start());
    struct stat status { };
    for (const fs::path& folder : {folder(), folder().parent_path()}) {
        ASSERT_EQ(::stat(folder.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0700U) << folder;
    }
    ASSERT_EQ(::stat(journal.filePath().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600U);
}

TEST_F(SessionJournalTest, AProgramKilledPartWayLeavesEveryReadingItCaptured)
{
    const fs::path path = folder() / "20261210T130000Z-1.journal";
    const pid_t child = ::fork();
    if (child == 0) {
        SessionJournal journal = makeJournal();
        if (!journal.start())
            ::_exit(1);
        for (int n = 1; n <= 200; ++n)
            capture(journal, n);
        ::kill(::getpid(), SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    const JournalSession session = readBack(path);
    EXPECT_EQ(dataTexts(session), dataTextsOf(1, 200));
    EXPECT_FALSE(session.endedCleanly);
}

TEST_F(SessionJournalTest, AFullDiskIsToldOnceAndWhatWaitedFollowsWhenThereIsRoomAgain)
{
    fs::create_directories(folder());
    const PrivateMount disk = PrivateMount::tmpfs(folder(), "64k");
    if (!disk.unavailable().empty())
        GTEST_SKIP() << disk.unavailable();
    SessionJournal journal = makeJournal();
    ASSERT_TRUE(journal.start());
    capture(journal, 1);

    // Fill the disk to its last few bytes, so that the next line is cut part-way.
    const fs::path filler = folder() / "filler";
    {
        std::ofstream out(filler, std::ios::binary);
        const std::string block(1024, 'x');
        while (out.write(block.data(), static_cast<std::streamsize>(block.size())))
            out.flush();
    }
    for (int n = 2; n <= 40; ++n)
        capture(journal, n);
    ASSERT_EQ(m_failures, std::vector<std::string> {"No space left on device"});
    EXPECT_TRUE(journal.failing());
    journal.retry();
    EXPECT_EQ(m_failures.size(), 1U) << "a failed retry is not told again";

    fs::remove(filler);
    journal.retry();
    EXPECT_FALSE(journal.failing());
    capture(journal, 41);
    journal.close();
    const JournalSession session = readBack(journal.filePath());
    EXPECT_EQ(dataTexts(session), dataTextsOf(1, 41)) << "readings lost or written twice";
    EXPECT_EQ(session.brokenLines, 0U) << "the line cut by the full disk was not completed";
    EXPECT_TRUE(session.endedCleanly);
}

TEST_F(SessionJournalTest, AFolderThatCannotBeMadeIsToldAndTheJournalBeginsWhenItCan)
{
    fs::create_directories(m_temp.path() / "state");
    std::optional<PrivateMount> readOnly(PrivateMount::readOnly(m_temp.path() / "state"));
    if (!readOnly->unavailable().empty())
        GTEST_SKIP() << readOnly->unavailable();
    SessionJournal journal = makeJournal();
    EXPECT_FALSE(journal.start());
    ASSERT_EQ(m_failures, std::vector<std::string> {"Read-only file system"});
    for (int n = 1; n <= 3; ++n)
        capture(journal, n);

    readOnly.reset();
    journal.retry();
    EXPECT_FALSE(journal.failing());
    journal.close();
    const JournalSession session = readBack(journal.filePath());
    EXPECT_EQ(session.program, "clampmeter test") << "the start line was lost";
    EXPECT_EQ(dataTexts(session), dataTextsOf(1, 3));
}

TEST_F(SessionJournalTest, WhileFailingOnlySoMuchWaitsAndTheRestIsCounted)
{
    fs::create_directories(m_temp.path() / "state");
    const PrivateMount readOnly = PrivateMount::readOnly(m_temp.path() / "state");
    if (!readOnly.unavailable().empty())
        GTEST_SKIP() << readOnly.unavailable();
    SessionJournal journal = makeJournal();
    EXPECT_FALSE(journal.start());
    std::string line;
    const NumberedReading reading = numberedReading(1);
    appendReadingLine(
        line, "2026-12-10T00:00:00.000Z", FrameBytes(reading.frame), reading.record, true);
    const std::size_t fitting = SessionJournal::kMaxPendingBytes / line.size();
    for (std::size_t n = 0; n < fitting + 10; ++n)
        capture(journal, 1);
    EXPECT_GE(journal.droppedReadings(), 10U);
    EXPECT_LE(journal.droppedReadings(), 11U);
}

#endif

TEST_F(SessionJournalTest, ALineLeftHalfWrittenIsPassedOverAndClosedBeforeTheNextAppend)
{
    fs::path path;
    {
        SessionJournal journal = makeJournal();
        ASSERT_TRUE(journal.start());
        capture(journal, 1);
        capture(journal, 2);
        path = journal.filePath();
    }
    // A power cut part-way through the last reading.
    fs::resize_file(path, fs::file_size(path) - 20);
    JournalSession session = readBack(path);
    EXPECT_EQ(dataTexts(session), dataTextsOf(1, 1));
    EXPECT_EQ(session.brokenLines, 1U);

    EXPECT_EQ(appendToJournal(path, savedLine("t", SavedFormat::Csv, 1)), "");
    session = readBack(path);
    EXPECT_EQ(session.brokenLines, 1U);
    EXPECT_EQ(session.savedReadings, 1U) << "the mark was glued to the broken line";
    EXPECT_EQ(session.unsavedReadings(), 0U);
}

} // namespace
} // namespace clampmeter::test
