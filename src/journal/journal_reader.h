// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "journal/journal_line.h"

#include <cstddef>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace clampmeter {

/// A reading as a session journal keeps it.
struct JournalReading {
    DataRecord record; ///< No is 0: numbers depend on which records are taken
    std::array<std::uint8_t, kFrameSize> frame {};
    std::string utc;
    bool stored = true;
};

/// A session journal read back: its readings, where the list was last cleared, how much of
/// the list was last saved, and whether the program ended cleanly.
struct JournalSession {
    std::string program; ///< from the start line
    std::string startUtc; ///< the first line's time
    std::string lastUtc; ///< the last line's time
    std::vector<JournalReading> readings;
    std::size_t listStart = 0; ///< the first reading after the last "Clear list"
    /// Of the readings from listStart on, how many the largest complete save since then held.
    std::size_t savedReadings = 0;
    bool endedCleanly = false;
    std::size_t brokenLines = 0; ///< lines that were not whole (a crash's half line)

    /// Readings the list held at the end: those since the last clear, also those that came
    /// when it was full.
    std::size_t listReadings() const { return readings.size() - listStart; }
    /// Readings of the list that no complete save held.
    std::size_t unsavedReadings() const
    {
        return listReadings() > savedReadings ? listReadings() - savedReadings : 0;
    }
};

/// Reads a journal line by line. A line that is not whole is counted and passed over.
JournalSession readJournal(std::istream& in);

/// Reads the journal file at `path`; nothing, with the system's reason, when it cannot be
/// opened.
std::optional<JournalSession> readJournalFile(
    const std::filesystem::path& path, std::string& reason);

/// Which readings of a session to take.
enum class JournalRange {
    SinceLastClear, ///< what the list held at the end
    All, ///< the whole session
};

/// The readings as records numbered from 1, in the order they came: what Save and To Excel
/// write. Readings that came while the list was full are among them, numbered on.
std::vector<DataRecord> journalRecords(const JournalSession& session, JournalRange range);

/// The first reading of the list that no save held; nothing when all are saved.
const JournalReading* firstUnsavedReading(const JournalSession& session);

} // namespace clampmeter
