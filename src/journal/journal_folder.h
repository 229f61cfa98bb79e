// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "journal/utc_time.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clampmeter {

/// A session journal's file name ends in this.
inline constexpr std::string_view kJournalSuffix = ".journal";

/// The sessions of the program with a meter, and those of the demo on its simulated one.
inline constexpr std::string_view kSessionsFolder = "sessions";
inline constexpr std::string_view kDemoSessionsFolder = "demo-sessions";

/// The folder of the session journals: $XDG_STATE_HOME/clampmeter/NAME, else
/// ~/.local/state/clampmeter/NAME; on Windows the local application data folder's
/// clampmeter\NAME. Nothing when neither the variable nor a home folder is set.
std::optional<std::filesystem::path> defaultJournalFolder(std::string_view name = kSessionsFolder);

/// True when CLAMPMETER_JOURNAL is "off": the program keeps no journal.
bool journalSwitchedOff();

/// A session's name, from the time and process it started with: "20261210T220317Z-4242".
/// Names sort in the order the sessions started.
std::string newSessionId(UtcTime start, std::int64_t pid);

/// One session journal in the folder.
struct SessionFile {
    std::string id; ///< the file name without its suffix
    std::filesystem::path path;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type lastWrite;
};

/// The folder's session journals, the oldest first. An unreadable or missing folder has
/// none.
std::vector<SessionFile> listSessionFiles(const std::filesystem::path& folder);

struct RetentionLimits {
    std::chrono::hours maxAge {30 * 24}; ///< since the session's last write
    std::uintmax_t maxTotalBytes = std::uintmax_t {1} << 30; ///< all sessions together
};

/// Removes the sessions last written longer ago than the limit, then the oldest while all
/// together are larger than the limit. Never the session `keepId`, nor one that a running
/// program holds. Returns the ids removed.
std::vector<std::string> applyRetention(const std::filesystem::path& folder,
    std::filesystem::file_time_type now, std::string_view keepId,
    const RetentionLimits& limits = {});

} // namespace clampmeter
