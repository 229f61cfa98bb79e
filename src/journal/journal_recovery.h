// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "journal/journal_reader.h"
#include "journal/utc_time.h"
#include "link/capture_clock.h"
#include "list/output_file.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace clampmeter {

/// A session that ended without the program's clean end and whose list held readings that
/// no save held.
struct UnfinishedSession {
    std::filesystem::path path;
    JournalSession session;
    bool latest = true; ///< the run before this one's, not one still further back
};

/// The newest session that ended unexpectedly with readings not saved, back to the last one
/// that ended cleanly (none but `ownId` and those running programs hold are looked at): the
/// run before this one, or one before it whose successors ended unexpectedly with nothing
/// unsaved.
std::optional<UnfinishedSession> findUnfinishedSession(
    const std::filesystem::path& folder, std::string_view ownId);

/// "The last session ended unexpectedly. Its 120 readings from 10/12/26 14:02:55 to
/// 10/12/26 14:04:55 were not saved." ("Its 1 reading of 10/12/26 14:02:55 was not saved.")
std::string unfinishedSessionMessage(const JournalSession& session, bool latest = true);

/// The filter of the recovery's save dialog: both formats.
inline constexpr std::string_view kRecoveryFilter
    = "text files (*.txt)|*.txt|csv files (*.csv)|*.csv";

/// Saves the readings the session's list held at its end to `path`: the export when the name
/// ends in ".csv", else the text report; then marks them saved in its journal. Empty on
/// success, else the message for the user.
std::string saveUnfinishedSession(const UnfinishedSession& unfinished, const std::string& path,
    OutputFiles& files, CaptureClock& clock, UtcTime now);

} // namespace clampmeter
