// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "journal/journal_file.h"
#include "journal/journal_sink.h"
#include "journal/utc_time.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

namespace clampmeter {

/// The journal of one run of the program: a file in the journal folder to which every
/// reading, every "Clear list" and every complete save is appended the moment it happens,
/// and a clean end is marked.
///
/// Each line is one write. What could not be written (a full disk, a folder that cannot be
/// made) is kept, up to kMaxPendingBytes, and written by the next successful retry() after
/// the part that reached the file, so that a line cut short is completed rather than
/// repeated. The owner calls sync() at most once a second while needsSync().
class SessionJournal final : public JournalSink {
public:
    using Clock = std::function<UtcTime()>;
    /// Told once each time writing starts to fail, with the system's reason.
    using FailureHandler = std::function<void(const std::string& reason)>;

    static constexpr std::size_t kMaxPendingBytes = std::size_t {16} << 20;

    struct Settings {
        std::filesystem::path folder;
        std::string id; ///< the file is folder / (id + ".journal")
        std::string program; ///< "clampmeter 1.0"
        std::int64_t pid = 0;
    };

    SessionJournal(Settings settings, Clock clock, FailureHandler onFailure);

    /// Creates the folder and the file and writes the start line. False when that failed
    /// (told to the failure handler); retry() tries again.
    bool start();

    void readingCaptured(FrameBytes frame, const DataRecord& record, bool stored) override;
    void listCleared() override;
    void listSaved(SavedFormat format, std::int32_t records) override;

    /// Marks the clean end, syncs and closes. Nothing is written after it.
    void close();

    /// Bytes were written since the last sync.
    bool needsSync() const { return m_unsynced; }
    /// Writes what was appended through to the disk.
    void sync();

    /// Writing failed and has not yet recovered.
    bool failing() const { return m_failing; }
    /// After a failure: makes the file if it is missing and writes what waits.
    void retry();

    std::filesystem::path filePath() const;
    /// Readings dropped because too much was waiting.
    std::size_t droppedReadings() const { return m_dropped; }

private:
    void write(std::string_view line, bool isReading);
    bool openFile();
    void flushPending();
    void fail(const std::string& reason);

    Settings m_settings;
    Clock m_clock;
    FailureHandler m_onFailure;
    JournalFile m_file;
    std::string m_line; ///< reused for every reading
    std::string m_pending; ///< bytes not yet in the file, in order
    bool m_started = false; ///< the start line is written or waiting
    bool m_failing = false;
    bool m_unsynced = false;
    bool m_closed = false;
    std::size_t m_dropped = 0;
};

/// Appends one line to the journal of a session that has ended (a saved mark after a
/// recovery), after completing a line that a crash left half-written, and syncs it. Empty on
/// success, else the system's reason.
std::string appendToJournal(const std::filesystem::path& path, std::string_view line);

} // namespace clampmeter
