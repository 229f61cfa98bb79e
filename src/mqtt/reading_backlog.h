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
/// Each reading is appended to a file as the line "SEQ PAYLOAD" with one write, so a crash
/// or SIGKILL loses none that append() returned from; sync(), at most once a second, makes
/// them survive a power cut too and records how far the broker has acknowledged. Readings
/// acknowledged before a crash but after the last sync() are sent again (the consumer drops
/// them by their number). Files of 10,000 readings each are removed once every reading in
/// them is acknowledged. Beyond `limit` readings waiting, the oldest are dropped.
///
/// Readings are handed out in order by take(); acknowledge() settles them (in any order);
/// putBack() hands the unacknowledged ones out again, in order, after a lost connection.
/// Only the readings handed out and not settled are held in memory.
class ReadingBacklog {
public:
    static constexpr std::uint64_t kDefaultLimit = 1'000'000;
    static constexpr std::uint64_t kSegmentReadings = 10'000;

    /// Opens the backlog in `folder` (made, readable by its owner only, when missing) and
    /// holds it. Nothing, with `problem` saying why, when the folder cannot be used or
    /// another program holds it.
    static std::unique_ptr<ReadingBacklog> open(
        const std::filesystem::path& folder, std::uint64_t limit, std::string& problem);

    ~ReadingBacklog();
    ReadingBacklog(const ReadingBacklog&) = delete;
    ReadingBacklog& operator=(const ReadingBacklog&) = delete;

    /// The number the next appended reading gets: 1 for a new meter.
    std::uint64_t nextSeq() const { return m_next; }
    /// Keeps `payload` (one line, no line end) as reading nextSeq(). False, with failure(),
    /// when it could not be written: then nothing is kept and the number is used again.
    bool append(std::string_view payload);
    /// Readings appended and neither acknowledged nor dropped.
    std::uint64_t waiting() const { return m_next - 1 - m_done - m_outAcknowledged; }
    /// Readings dropped since open() to stay within the limit.
    std::uint64_t dropped() const { return m_dropped; }

    /// The next reading to send, in order; nothing when every waiting one is out.
    std::optional<WaitingReading> take();
    /// The broker acknowledged reading `seq`; unknown numbers are ignored.
    void acknowledge(std::uint64_t seq);
    /// Every reading handed out and not acknowledged is to be taken again.
    void putBack();
    /// Reading `seq`, just taken, was not sent after all: it is the next to be taken.
    void giveBack(std::uint64_t seq);

    /// Writes the readings through to the disk and records what was acknowledged. False,
    /// with failure(), when that failed.
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
        bool acknowledged = false;
    };

    explicit ReadingBacklog(std::filesystem::path folder, std::uint64_t limit);
    bool load(std::string& problem);
    bool recoverNewest();
    bool startSegment();
    void settle(std::uint64_t done);
    void removeSettledSegments();
    bool recordDone() const;
    std::optional<WaitingReading> readFromFiles();
    bool openReader();
    std::optional<std::string> readLine();
    void closeReader();

    std::filesystem::path m_folder;
    std::uint64_t m_limit;
    JournalFile m_lock;
    std::deque<Segment> m_segments; ///< oldest first
    JournalFile m_writer; ///< the newest segment, while open
    std::uint64_t m_next = 1;
    std::uint64_t m_done = 0; ///< every reading up to this one is acknowledged or dropped
    std::uint64_t m_savedDone = 0; ///< m_done as last recorded on disk
    std::uint64_t m_dropped = 0;
    std::deque<OutReading> m_out; ///< handed out and not settled: m_done + 1, m_done + 2, …
    std::size_t m_resendFrom = 0; ///< in m_out, where readings to send again may start
    std::uint64_t m_outAcknowledged = 0; ///< in m_out, the readings acknowledged
    int m_readFd = -1;
    std::uint64_t m_readFirst = 0; ///< the segment being read
    std::string m_readBuffer;
    std::size_t m_readPos = 0;
    bool m_unsynced = false;
    std::string m_failure;
};

} // namespace clampmeter
