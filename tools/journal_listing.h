// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "journal/journal_folder.h"
#include "journal/journal_reader.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clampmeter::cli {

/// How a session ended, as `journal list` says it.
enum class SessionEnd { Running, Cleanly, Unexpectedly };

/// One row of `journal list`.
struct SessionSummary {
    std::string id;
    std::string start; ///< local time of its first line, "2026-12-10 14:03:07"
    std::string end; ///< local time of its last line
    std::size_t readings = 0;
    std::size_t unsaved = 0; ///< readings of the list at its end that no save held
    SessionEnd ended = SessionEnd::Unexpectedly;
};

SessionSummary summariseSession(const std::string& id, const JournalSession& session, bool inUse);

/// The table of `journal list`: a heading, then a row per session, the oldest first.
std::string sessionTable(const std::vector<SessionSummary>& sessions);

/// The session `name` names among `sessions`: its id, or "latest", the newest that no
/// running program holds. Nothing when there is none.
std::optional<SessionFile> chooseSession(
    const std::vector<SessionFile>& sessions, std::string_view name);

} // namespace clampmeter::cli
