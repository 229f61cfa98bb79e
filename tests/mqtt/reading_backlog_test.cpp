// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The readings waiting for the broker, on real files: their order and numbering, what a
// crash, a power cut or a second logger leaves or meets, and the limit.

#include "mqtt/reading_backlog.h"

#include "../registry/temp_folder.h"
#include "../support/private_mount.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
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
    // A run that did not end cleanly cannot know which numbers went out unrecorded: it
    // starts past every number reserved.
    EXPECT_EQ(restarted->nextSeq(), ReadingBacklog::kReserveBlock + 1);
    EXPECT_EQ(takeAll(*restarted), range(3, 6));
}

TEST_F(BacklogTest, ALineCutShortByAPowerCutIsDroppedAndItsNumberNeverGivenAgain)
{
    auto running = open();
    append(*running, 4);
    const fs::path killed = copyAsKilled();
    running.reset();
    // The power cut kept only part of the fourth line.
    const fs::path segment = killed / "00000000000000000001.readings";
    const auto size = fs::file_size(segment);
    fs::resize_file(segment, size - 5);

    std::string problem;
    auto backlog = ReadingBacklog::open(killed, ReadingBacklog::kDefaultLimit, problem);
    ASSERT_NE(backlog, nullptr) << problem;
    EXPECT_EQ(backlog->nextSeq(), ReadingBacklog::kReserveBlock + 1);
    EXPECT_EQ(backlog->waiting(), 3U);
    append(*backlog, 1);
    EXPECT_EQ(takeAll(*backlog),
        (std::vector<std::uint64_t> {1, 2, 3, ReadingBacklog::kReserveBlock + 1}));
    // The cut line is gone from the file, and the new reading stands on a line of its own.
    std::ifstream in(segment);
    std::vector<std::string> numbers;
    for (std::string line; std::getline(in, line);)
        numbers.push_back(line.substr(0, line.find(' ')));
    EXPECT_EQ(numbers, (std::vector<std::string> {"1", "2", "3", "101"}));
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

TEST_F(BacklogTest, BeyondTheLimitTheOldestNotYetSentAreDroppedAndCounted)
{
    auto backlog = open(4);
    append(*backlog, 3);
    ASSERT_TRUE(backlog->take().has_value()); // 1 is out, and stays, when 3 more come
    append(*backlog, 3);
    EXPECT_EQ(backlog->waiting(), 4U);
    EXPECT_EQ(backlog->dropped(), 2U);
    backlog->acknowledge(1);
    EXPECT_EQ(backlog->waiting(), 3U);
    EXPECT_EQ(takeAll(*backlog), range(4, 6));

    // A smaller limit in the next run drops what is over it at once, and says so.
    backlog.reset();
    auto smaller = open(2);
    EXPECT_EQ(smaller->waiting(), 2U);
    ASSERT_EQ(smaller->notes().size(), 1U);
    EXPECT_NE(
        smaller->notes().front().find("1 reading waiting beyond the limit"), std::string::npos);
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

/// A folder as a run that was killed after appending three readings leaves it, with
/// `damage` done to it; the backlog then opened on it.
class DamagedBacklogTest : public BacklogTest {
protected:
    fs::path killedAfterThree()
    {
        auto running = open();
        append(*running, 3);
        fs::path killed = copyAsKilled();
        running.reset();
        return killed;
    }

    static fs::path newest(const fs::path& at) { return at / "00000000000000000001.readings"; }

    static std::unique_ptr<ReadingBacklog> reopen(const fs::path& at, std::string& problem)
    {
        return ReadingBacklog::open(at, ReadingBacklog::kDefaultLimit, problem);
    }

    static std::string notes(const ReadingBacklog& backlog)
    {
        std::string all;
        for (const std::string& note : backlog.notes())
            all += note + "\n";
        return all;
    }
};

TEST_F(DamagedBacklogTest, TheNewestFileCutAtEveryOffsetLosesOnlyItsCutLineAndNoNumberComesAgain)
{
    const fs::path killed = killedAfterThree();
    const std::string whole = [&] {
        std::ifstream in(newest(killed), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    const fs::path cut = m_temp.path() / "cut";
    for (std::size_t size = 0; size <= whole.size(); ++size) {
        SCOPED_TRACE(size);
        fs::remove_all(cut);
        fs::copy(killed, cut, fs::copy_options::recursive);
        fs::resize_file(newest(cut), size);
        const auto wholeLines = static_cast<std::uint64_t>(
            std::count(whole.begin(), whole.begin() + static_cast<long>(size), '\n'));
        std::string problem;
        auto backlog = reopen(cut, problem);
        ASSERT_NE(backlog, nullptr) << problem;
        EXPECT_EQ(backlog->nextSeq(), ReadingBacklog::kReserveBlock + 1);
        EXPECT_EQ(backlog->waiting(), wholeLines);
        EXPECT_EQ(takeAll(*backlog), range(1, wholeLines));
        // Cut back to the end of its last whole line.
        const std::size_t lastEnd = size == 0 ? std::string::npos : whole.rfind('\n', size - 1);
        EXPECT_EQ(fs::file_size(newest(cut)), lastEnd == std::string::npos ? 0 : lastEnd + 1);
    }
}

TEST_F(DamagedBacklogTest, LinesThatHoldNoReadingArePassedOverAndCountedWhereverTheyStand)
{
    struct Case {
        const char* name;
        std::string lines; ///< appended to the newest file after the three readings
        std::vector<std::uint64_t> goOut; ///< besides 1, 2, 3
    };
    const std::string huge = std::string(1024 * 1024, 'x') + "\n";
    const Case cases[] = {
        {"garbage", "garbage\n", {}},
        {"NULs, as a power cut can leave", std::string(40, '\0') + "\n", {}},
        {"a line of a megabyte without a number", huge, {}},
        {"a number with no JSON", "4 notjson\n", {}},
        {"a number that goes back", "2 {\"seq\":2}\n", {}},
        {"a number too large", "18446744073709551615 {\"seq\":1}\n", {}},
        {"a reading after the damage", "garbage\n4 {\"seq\":4}\n", {4}},
        {"a reading after a line of a megabyte", huge + "4 {\"seq\":4}\n", {4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder());
        const fs::path killed = killedAfterThree();
        std::ofstream(newest(killed), std::ios::app | std::ios::binary) << c.lines;
        std::string problem;
        auto backlog = reopen(killed, problem);
        ASSERT_NE(backlog, nullptr) << problem;
        EXPECT_EQ(backlog->nextSeq(), ReadingBacklog::kReserveBlock + 1);
        std::vector<std::uint64_t> expected = range(1, 3);
        expected.insert(expected.end(), c.goOut.begin(), c.goOut.end());
        EXPECT_EQ(backlog->waiting(), expected.size());
        EXPECT_NE(notes(*backlog).find("(damaged): passed over"), std::string::npos)
            << notes(*backlog);
        EXPECT_EQ(takeAll(*backlog), expected);
        fs::remove_all(killed);
    }
}

TEST_F(DamagedBacklogTest, RecordsThatCannotBeRightAreTakenForDamageNeverObeyed)
{
    struct Case {
        const char* name;
        const char* file;
        std::string text;
        std::uint64_t next;
        std::vector<std::uint64_t> goOut;
    };
    constexpr std::uint64_t block = ReadingBacklog::kReserveBlock;
    const Case cases[] = {
        {"every number acknowledged", "acknowledged", "18446744073709551615\n", block + 1,
            range(1, 3)},
        {"more acknowledged than ever numbered", "acknowledged", "5000\n", block + 1, range(1, 3)},
        {"an acknowledgement that is no number", "acknowledged", "x\n", block + 1, range(1, 3)},
        {"two acknowledged", "acknowledged", "2\n", block + 1, range(3, 3)},
        {"a reservation past every number", "reserved", "18446744073709551615\n", 2 * block + 4,
            range(1, 3)},
        {"a reservation that is no number", "reserved", "\n", 2 * block + 4, range(1, 3)},
        {"no reservation, as an earlier version left it", "reserved", "", block + 4, range(1, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder());
        const fs::path killed = killedAfterThree();
        if (c.text.empty())
            fs::remove(killed / c.file);
        else
            std::ofstream(killed / c.file, std::ios::trunc) << c.text;
        std::string problem;
        auto backlog = reopen(killed, problem);
        ASSERT_NE(backlog, nullptr) << problem;
        EXPECT_EQ(backlog->nextSeq(), c.next);
        EXPECT_EQ(backlog->waiting(), c.goOut.size());
        EXPECT_EQ(takeAll(*backlog), c.goOut);
        fs::remove_all(killed);
    }
}

TEST_F(DamagedBacklogTest, EntriesThatAreNoRegularFilesAreNamedAndLeftAloneNeverOpened)
{
    struct Case {
        const char* name;
        const char* entry;
        std::function<void(const fs::path&)> make;
    };
    const Case cases[] = {
        {"a folder named like a file of readings", "00000000000000000500.readings",
            [](const fs::path& p) { fs::create_directory(p); }},
        {"a FIFO named like a file of readings", "00000000000000000500.readings",
            [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"a link named like a file of readings", "00000000000000000500.readings",
            [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }},
        {"a FIFO for the acknowledged record", "acknowledged",
            [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"a folder for the reservation", "reserved",
            [](const fs::path& p) { fs::create_directory(p); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder());
        const fs::path killed = killedAfterThree();
        fs::remove(killed / c.entry);
        c.make(killed / c.entry);
        std::string problem;
        auto backlog = reopen(killed, problem);
        ASSERT_NE(backlog, nullptr) << problem;
        EXPECT_NE(notes(*backlog).find((killed / c.entry).string()), std::string::npos)
            << notes(*backlog);
        EXPECT_EQ(takeAll(*backlog), range(1, 3));
        EXPECT_GT(backlog->nextSeq(), 3U);
        backlog.reset();
        fs::remove_all(killed);
    }

    // The lock as a folder: the backlog cannot be held, and says so.
    fs::remove_all(folder());
    fs::create_directories(folder() / "lock");
    std::string problem;
    EXPECT_EQ(ReadingBacklog::open(folder(), 10, problem), nullptr);
    EXPECT_NE(problem.find((folder() / "lock").string()), std::string::npos) << problem;
}

/// On a small disk that fills up: readings large enough that each needs room of its own.
class FullDiskBacklogTest : public BacklogTest {
protected:
    void SetUp() override
    {
        fs::create_directories(folder());
        m_disk.emplace(test::PrivateMount::tmpfs(folder(), "64k"));
        if (!m_disk->unavailable().empty())
            GTEST_SKIP() << m_disk->unavailable();
    }
    void TearDown() override { m_disk.reset(); }

    static std::string payload(std::uint64_t seq)
    {
        return "{\"seq\":" + std::to_string(seq) + ",\"pad\":\"" + std::string(4096, 'p') + "\"}";
    }
    /// Appends a reading; whether the disk took it.
    static bool appendLarge(ReadingBacklog& backlog)
    {
        return backlog.append(payload(backlog.nextSeq()));
    }
    /// The numbers take() hands out now, each payload checked.
    static std::vector<std::uint64_t> takeLarge(ReadingBacklog& backlog)
    {
        std::vector<std::uint64_t> numbers;
        while (const auto reading = backlog.take()) {
            EXPECT_EQ(reading->payload, payload(reading->seq));
            numbers.push_back(reading->seq);
        }
        return numbers;
    }
    void fillTheDisk() const
    {
        std::ofstream filler(folder() / "filler", std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), static_cast<long>(block.size())) && filler.flush()) { }
    }

    std::optional<test::PrivateMount> m_disk;
};

TEST_F(FullDiskBacklogTest, NoReadingIsLostItsNumbersStayUniqueAndTheDiskTakesThemLater)
{
    auto backlog = open();
    ASSERT_TRUE(appendLarge(*backlog)) << backlog->failure();
    ASSERT_TRUE(appendLarge(*backlog)) << backlog->failure();
    fillTheDisk();
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(appendLarge(*backlog));
    EXPECT_NE(backlog->failure().find("No space left on device"), std::string::npos)
        << backlog->failure();
    EXPECT_EQ(backlog->waiting(), 5U);
    EXPECT_EQ(takeLarge(*backlog), range(1, 5)) << "refused by the disk, sent all the same";
    backlog->acknowledge(1);
    backlog->acknowledge(4);
    EXPECT_FALSE(backlog->sync());

    fs::remove(folder() / "filler");
    EXPECT_TRUE(backlog->sync()) << backlog->failure();
    backlog.reset();
    auto again = open();
    EXPECT_EQ(again->nextSeq(), 6U) << "a clean end gives the unused numbers back";
    EXPECT_EQ(takeLarge(*again), (std::vector<std::uint64_t> {2, 3, 4, 5}));
}

TEST_F(FullDiskBacklogTest, ReadingsTheDiskNeverTakesAreKeptInMemoryUpToABoundAndTheirDropsCounted)
{
    auto backlog = open();
    ASSERT_TRUE(appendLarge(*backlog)) << backlog->failure();
    fillTheDisk();
    const std::size_t most = ReadingBacklog::kMostUnwritten;
    for (std::size_t i = 0; i < most + 5; ++i)
        EXPECT_FALSE(appendLarge(*backlog));
    EXPECT_EQ(backlog->dropped(), 5U);
    EXPECT_EQ(backlog->waiting(), most + 1);
    const std::vector<std::uint64_t> out = takeLarge(*backlog);
    ASSERT_EQ(out.size(), most + 1);
    // The oldest of those only in memory went; their numbers are a gap, never reused.
    EXPECT_EQ(out[0], 1U);
    EXPECT_EQ(out[1], 7U);
    EXPECT_EQ(out.back(), most + 6);
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
