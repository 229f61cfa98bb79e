// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The readings waiting for the broker, on real files: their order and numbering, what a
// crash, a power cut or a second logger leaves or meets, and the limit.

#include "mqtt/reading_backlog.h"

#include "../registry/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <vector>

namespace clampmeter {
namespace {

namespace fs = std::filesystem;

class BacklogTest : public ::testing::Test {
protected:
    fs::path folder() const { return m_temp.path() / "state" / "mqtt" / "0001"; }

    std::unique_ptr<ReadingBacklog> open(std::uint64_t limit = ReadingBacklog::kDefaultLimit)
    {
        std::string problem;
        auto backlog = ReadingBacklog::open(folder(), limit, problem);
        EXPECT_NE(backlog, nullptr) << problem;
        return backlog;
    }

    static void append(ReadingBacklog& backlog, int count)
    {
        for (int i = 0; i < count; ++i) {
            const std::string payload = "{\"seq\":" + std::to_string(backlog.nextSeq()) + "}";
            ASSERT_TRUE(backlog.append(payload)) << backlog.failure();
        }
    }

    /// The numbers of every reading take() hands out now, checking that each payload is the
    /// one appended with that number.
    static std::vector<std::uint64_t> takeAll(ReadingBacklog& backlog)
    {
        std::vector<std::uint64_t> numbers;
        while (const auto reading = backlog.take()) {
            EXPECT_EQ(reading->payload, "{\"seq\":" + std::to_string(reading->seq) + "}");
            numbers.push_back(reading->seq);
        }
        return numbers;
    }

    /// What SIGKILL leaves: the files as they are now, without the last sync or the lock.
    fs::path copyAsKilled() const
    {
        const fs::path copy = m_temp.path() / "killed";
        fs::copy(folder(), copy, fs::copy_options::recursive);
        return copy;
    }

    std::vector<std::string> segmentFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder())) {
            if (entry.path().extension() == ".readings")
                names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder m_temp;
};

std::vector<std::uint64_t> range(std::uint64_t first, std::uint64_t last)
{
    std::vector<std::uint64_t> numbers;
    for (std::uint64_t n = first; n <= last; ++n)
        numbers.push_back(n);
    return numbers;
}

TEST_F(BacklogTest, ReadingsGoOutInOrderAndTheNumberingGoesOnInTheNextRun)
{
    {
        auto backlog = open();
        EXPECT_EQ(backlog->nextSeq(), 1U);
        append(*backlog, 5);
        EXPECT_EQ(backlog->waiting(), 5U);
        EXPECT_EQ(takeAll(*backlog), range(1, 5));
        for (std::uint64_t seq : {2, 1, 3})
            backlog->acknowledge(seq);
        EXPECT_EQ(backlog->waiting(), 2U);
    }
    auto again = open();
    EXPECT_EQ(again->nextSeq(), 6U);
    EXPECT_EQ(again->waiting(), 2U);
    append(*again, 1);
    EXPECT_EQ(takeAll(*again), range(4, 6));
}

TEST_F(BacklogTest, TheFolderAndItsFilesAreTheOwnersAlone)
{
    auto backlog = open();
    append(*backlog, 1);
    backlog->take();
    backlog->acknowledge(1);
    ASSERT_TRUE(backlog->sync());
    struct stat status { };
    ASSERT_EQ(::stat(folder().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700U);
    for (const auto& entry : fs::directory_iterator(folder())) {
        ASSERT_EQ(::stat(entry.path().c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0077, 0U) << entry.path();
    }
}

TEST_F(BacklogTest, AfterAKillWhatWasAcknowledgedSinceTheLastSyncGoesAgainNeverLess)
{
    auto backlog = open();
    append(*backlog, 6);
    takeAll(*backlog);
    backlog->acknowledge(1);
    backlog->acknowledge(2);
    ASSERT_TRUE(backlog->sync());
    backlog->acknowledge(3);
    const fs::path killed = copyAsKilled();

    std::string problem;
    auto restarted = ReadingBacklog::open(killed, ReadingBacklog::kDefaultLimit, problem);
    ASSERT_NE(restarted, nullptr) << problem;
    EXPECT_EQ(restarted->nextSeq(), 7U);
    EXPECT_EQ(takeAll(*restarted), range(3, 6));
}

TEST_F(BacklogTest, ALineCutShortByAPowerCutIsDroppedAndItsNumberUsedAgain)
{
    {
        auto backlog = open();
        append(*backlog, 3);
    }
    const fs::path segment = folder() / segmentFiles().front();
    std::ofstream(segment, std::ios::app) << "4 {\"seq\":4,\"ti";
    auto backlog = open();
    EXPECT_EQ(backlog->nextSeq(), 4U);
    append(*backlog, 1);
    EXPECT_EQ(takeAll(*backlog), range(1, 4));
}

TEST_F(BacklogTest, PutBackHandsOutTheUnacknowledgedAgainInOrderBeforeNewOnes)
{
    auto backlog = open();
    append(*backlog, 5);
    EXPECT_EQ(takeAll(*backlog), range(1, 5));
    backlog->acknowledge(2);
    backlog->acknowledge(4);
    backlog->putBack();
    append(*backlog, 1);
    EXPECT_EQ(takeAll(*backlog), (std::vector<std::uint64_t> {1, 3, 5, 6}));

    // One reading not sent after all is the next to go.
    append(*backlog, 2);
    const auto seventh = backlog->take();
    ASSERT_TRUE(seventh.has_value());
    backlog->giveBack(seventh->seq);
    EXPECT_EQ(takeAll(*backlog), range(7, 8));
}

TEST_F(BacklogTest, BeyondTheLimitTheOldestAreDroppedAndCounted)
{
    auto backlog = open(4);
    append(*backlog, 3);
    ASSERT_TRUE(backlog->take().has_value()); // 1 is out when 2 more come
    append(*backlog, 3);
    EXPECT_EQ(backlog->waiting(), 4U);
    EXPECT_EQ(backlog->dropped(), 2U);
    backlog->acknowledge(1); // too late: it was dropped, nothing moves
    EXPECT_EQ(backlog->waiting(), 4U);
    EXPECT_EQ(takeAll(*backlog), range(3, 6));

    // A smaller limit in the next run drops what is over it at once.
    backlog.reset();
    auto smaller = open(2);
    EXPECT_EQ(smaller->waiting(), 2U);
    EXPECT_EQ(takeAll(*smaller), range(5, 6));
}

TEST_F(BacklogTest, FilesWhoseReadingsAreAllAcknowledgedAreRemoved)
{
    const auto perFile = static_cast<int>(ReadingBacklog::kSegmentReadings);
    auto backlog = open();
    append(*backlog, 2 * perFile + 10);
    EXPECT_EQ(segmentFiles().size(), 3U);
    const std::vector<std::uint64_t> out = takeAll(*backlog);
    ASSERT_EQ(out.size(), static_cast<std::size_t>(2 * perFile + 10));
    EXPECT_EQ(out.back(), static_cast<std::uint64_t>(2 * perFile + 10));
    for (int seq = 1; seq <= perFile + 5; ++seq)
        backlog->acknowledge(static_cast<std::uint64_t>(seq));
    EXPECT_EQ(segmentFiles(),
        (std::vector<std::string> {
            "00000000000000010001.readings", "00000000000000020001.readings"}));
    for (int seq = perFile + 6; seq <= 2 * perFile + 10; ++seq)
        backlog->acknowledge(static_cast<std::uint64_t>(seq));
    EXPECT_EQ(backlog->waiting(), 0U);
    EXPECT_EQ(segmentFiles().size(), 1U) << "the newest stays: it numbers the next reading";
    backlog.reset();
    EXPECT_EQ(open()->nextSeq(), static_cast<std::uint64_t>(2 * perFile + 11));
}

TEST_F(BacklogTest, ASecondLoggerOfTheSameMeterIsRefused)
{
    auto first = open();
    std::string problem;
    EXPECT_EQ(ReadingBacklog::open(folder(), 10, problem), nullptr);
    EXPECT_NE(problem.find("in use by another logger"), std::string::npos) << problem;
    first.reset();
    EXPECT_NE(ReadingBacklog::open(folder(), 10, problem), nullptr);
}

} // namespace
} // namespace clampmeter
