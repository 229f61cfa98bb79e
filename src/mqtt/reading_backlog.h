// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "journal/journal_file.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clampmeter {

/// A reading on its way to the broker: its number and its message.
struct WaitingReading {
    std::uint64_t seq = 0;
    std::string payload;
};

/// The readings of one meter that the broker has not acknowledged yet, kept on disk in a
/// folder of their own, so that neither a broker that is away nor a logger that is killed
/// loses one; and the numbering of the meter's readings, which goes on from run to run.
///
/// The numbers keep one promise through kills, power cuts and full disks: no number is ever
/// given to two readings, and a reading that is lost leaves its number unused, a gap the
/// consumer sees. Numbers are reserved on disk a block ahead (synced before the first of them
/// is given), and a run that did not end cleanly starts past the reservation; a clean end
/// gives the unused rest of the block back.
///
/// Each reading is appended to a file as the line "SEQ PAYLOAD" with one write, so a crash
/// or SIGKILL loses none that append() returned from; sync(), at most once a second, makes
/// them survive a power cut too and records how far the broker has acknowledged. Readings
/// acknowledged before a crash but after the last sync() are sent again, under the same
/// number (the consumer drops them by it). When the disk refuses a reading (full, read-only),
/// it is kept in memory, numbered and sent all the same, and written as soon as the disk
/// takes it again; past kMostUnwritten such readings the oldest not yet sent are dropped.
/// Files of 10,000 readings each are removed once every reading in them is acknowledged.
/// Beyond `limit` readings waiting, the oldest not yet sent are dropped.
///
/// What is read back is checked line by line: a line that is not a reading, or whose number
/// does not follow the one before, is passed over and counted; records that cannot be right
/// are taken for damage, never obeyed. Only regular files are opened.
///
/// Readings are handed out in order by take(); acknowledge() settles them (in any order);
/// putBack() hands the unacknowledged ones out again, in order, after a lost connection.
/// Only the readings handed out and not settled, and those the disk refused, are held in
/// memory.
class ReadingBacklog {
public:
    static constexpr std::uint64_t kDefaultLimit = 1'000'000;
    static constexpr std::uint64_t kSegmentReadings = 10'000;
    /// Numbers reserved on disk at a time.
    static constexpr std::uint64_t kReserveBlock = 100;
    /// Readings the disk refused that are kept in memory at most.
    static constexpr std::size_t kMostUnwritten = 10'000;
    /// A longer line on disk is no reading.
    static constexpr std::size_t kLongestLine = 64 * 1024;
    /// Numbers stay below this: no sum of them can wrap.
    static constexpr std::uint64_t kLargestSeq = std::uint64_t {1} << 62;

    /// Opens the backlog in `folder` (made, readable by its owner only, when missing) and
    /// holds it. Nothing, with `problem` saying why, when the folder cannot be used or
    /// another program holds it.
    static std::unique_ptr<ReadingBacklog> open(
        const std::filesystem::path& folder, std::uint64_t limit, std::string& problem);

    /// Syncs, and on a clean end gives the unused reserved numbers back.
    ~ReadingBacklog();
    ReadingBacklog(const ReadingBacklog&) = delete;
    ReadingBacklog& operator=(const ReadingBacklog&) = delete;

    /// The number the next appended reading gets: 1 for a new meter.
    std::uint64_t nextSeq() const { return m_next; }
    /// Keeps `payload` (one line, no line end) as reading nextSeq(), which is never given
    /// again. False, with failure(), when the disk did not take it: it is kept in memory
    /// and sent all the same.
    bool append(std::string_view payload);
    /// Readings kept and neither acknowledged nor dropped.
    std::uint64_t waiting() const { return m_waiting; }
    /// Readings dropped since open(): beyond the limit, or beyond what memory keeps while
    /// the disk refuses them.
    std::uint64_t dropped() const { return m_dropped; }
    /// What open() found amiss and passed over (damaged lines, records that cannot be
    /// right, entries that are no regular files), to be told once.
    const std::vector<std::string>& notes() const { return m_notes; }

    /// The next reading to send, in order; nothing when every waiting one is out.
    std::optional<WaitingReading> take();
    /// The broker acknowledged reading `seq`; unknown numbers are ignored.
    void acknowledge(std::uint64_t seq);
    /// Every reading handed out and not acknowledged is to be taken again.
    void putBack();
    /// Reading `seq`, just taken, was not sent after all: it is the next to be taken.
    void giveBack(std::uint64_t seq);

    /// Writes the readings the disk refused before, then all of them through to the disk,
    /// and records what was acknowledged. False, with failure(), when any of that failed.
    bool sync();
    /// The system's reason for the last failure.
    const std::string& failure() const { return m_failure; }

private:
    struct Segment {
        std::uint64_t first = 0; ///< the number of its first reading
        std::filesystem::path path;
    };
    struct OutReading {
        WaitingReading reading;
        bool sent = true;
        bool settled = false; ///< acknowledged, or dropped without being sent
    };

    explicit ReadingBacklog(std::filesystem::path folder, std::uint64_t limit);
    bool load(std::string& problem);
    void findSegments();
    bool scanSegments(std::uint64_t& last);
    std::uint64_t chooseDone(std::uint64_t last);
    void chooseNext(std::uint64_t last);
    bool reserve();
    bool startSegment(std::uint64_t first);
    bool writeLine(const WaitingReading& reading);
    bool writeUnwritten();
    void dropOldestUnsent();
    void settle(std::uint64_t done);
    void removeSettledSegments();
    std::optional<WaitingReading> takeNext();
    std::optional<WaitingReading> readFromFiles(std::uint64_t after);
    bool openReader(std::uint64_t first);
    void note(std::string text);

    std::filesystem::path m_folder;
    std::uint64_t m_limit;
    JournalFile m_lock;
    std::deque<Segment> m_segments; ///< oldest first
    JournalFile m_writer; ///< the newest segment, while open
    std::uint64_t m_next = 1;
    std::uint64_t m_reserved = 0; ///< every number up to this one may have been given
    bool m_reservationOnDisk = true;
    std::uint64_t m_lastOnDisk = 0; ///< the newest reading written to the files
    std::uint64_t m_done = 0; ///< every reading up to this one is acknowledged or dropped
    std::uint64_t m_savedDone = 0; ///< m_done as last recorded on disk
    std::uint64_t m_waiting = 0;
    std::uint64_t m_dropped = 0;
    std::deque<OutReading> m_out; ///< handed out and not settled, in order of their numbers
    std::size_t m_resendFrom = 0; ///< in m_out, where readings to send again may start
    std::deque<WaitingReading> m_unwritten; ///< refused by the disk, in order
    std::uint64_t m_readFirst = 0; ///< the segment being read
    bool m_reading = false;
    std::unique_ptr<class StateFileLines> m_reader;
    bool m_unsynced = false;
    std::vector<std::string> m_notes;
    std::string m_failure;
};

/// "SEQ PAYLOAD" as a reading of the backlog: a number from 1 to the largest, one space and a
/// JSON object on one line without control characters; nothing for anything else.
std::optional<WaitingReading> parseBacklogLine(std::string_view line);

} // namespace clampmeter
