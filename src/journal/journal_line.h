// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/measurement_frame.h"
#include "shared/var_module.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace clampmeter {

/// What a line of a session journal tells.
enum class JournalEvent : std::uint8_t {
    Start, ///< the program started this session
    Reading, ///< a reading was captured
    Clear, ///< "Clear list": the list starts again at record 1
    Saved, ///< a complete Save or To Excel of the list's first `records` records
    End, ///< the program ended cleanly
};

/// The format of a complete save, as a journal line names it.
enum class SavedFormat : std::uint8_t { Report, Csv };

/// One line of a session journal, read back.
struct JournalEntry {
    JournalEvent event = JournalEvent::Reading;
    std::string utc; ///< when it happened, ISO 8601 UTC with milliseconds

    /// A reading: FunText, DataText, UnitText, DateText, TimeText and StampText as the list
    /// stored them, Value from the frame; No is left to the reader of the journal.
    DataRecord record;
    std::array<std::uint8_t, kFrameSize> frame {}; ///< the frame's bytes as received
    bool stored = true; ///< false when the log was full and the list could not hold it

    SavedFormat format = SavedFormat::Report; ///< a save's format
    std::int32_t records = 0; ///< a save's number of records

    std::string program; ///< start: the program and its version
    std::int64_t pid = 0; ///< start: the program's process id
};

/// A journal line, one JSON object ending in LF. Readings:
/// {"event":"reading","utc":"…","fun":"FUN_VAC","data":"229.8","unit":"v","date":"…",
/// "time":"…","frame":"6868…"} (34 hex digits), with "stored":false when the log was full.
void appendReadingLine(std::string& out, std::string_view utc, FrameBytes frame,
    const DataRecord& record, bool stored);
/// {"event":"start","utc":"…","program":"clampmeter 1.0","pid":42}
std::string startLine(std::string_view utc, std::string_view program, std::int64_t pid);
/// {"event":"clear","utc":"…"}
std::string clearLine(std::string_view utc);
/// {"event":"saved","utc":"…","format":"report","records":120}
std::string savedLine(std::string_view utc, SavedFormat format, std::int32_t records);
/// {"event":"end","utc":"…"}
std::string endLine(std::string_view utc);

/// Reads one line (without its line end). Nothing for a line that is not whole and well
/// formed, such as the half of a line a crash left behind.
std::optional<JournalEntry> parseJournalLine(std::string_view line);

/// "report" or "csv".
std::string_view savedFormatName(SavedFormat format);

} // namespace clampmeter
