// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "journal/journal_folder.h"

#include "journal/journal_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace clampmeter {
namespace {

namespace fs = std::filesystem;

std::optional<fs::path> environmentPath(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    fs::path path(value);
    // A relative path in these variables is invalid and ignored.
    if (!path.is_absolute())
        return std::nullopt;
    return path;
}

} // namespace

std::optional<fs::path> defaultJournalFolder(std::string_view name)
{
#ifdef _WIN32
    const auto base = environmentPath("LOCALAPPDATA");
#else
    auto base = environmentPath("XDG_STATE_HOME");
    if (!base) {
        if (const auto home = environmentPath("HOME"))
            base = *home / ".local" / "state";
    }
#endif
    if (!base)
        return std::nullopt;
    return *base / "clampmeter" / fs::path(name);
}

bool journalSwitchedOff()
{
    const char* value = std::getenv("CLAMPMETER_JOURNAL");
    return value != nullptr && std::string_view(value) == "off";
}

std::string newSessionId(UtcTime start, std::int64_t pid)
{
    const UtcFields t = utcFields(start);
    std::array<char, 64> text {};
    std::snprintf(text.data(), text.size(), "%04d%02u%02uT%02d%02d%02dZ-%lld", t.year, t.month,
        t.day, t.hour, t.minute, t.second, static_cast<long long>(pid));
    return text.data();
}

std::vector<SessionFile> listSessionFiles(const fs::path& folder)
{
    std::vector<SessionFile> sessions;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        // Never a link, a folder or a FIFO that only bears the name.
        if (path.extension() != kJournalSuffix
            || it->symlink_status(error).type() != fs::file_type::regular)
            continue;
        SessionFile session;
        session.id = path.stem().string();
        session.path = path;
        session.size = it->file_size(error);
        session.lastWrite = it->last_write_time(error);
        if (!error)
            sessions.push_back(std::move(session));
        error.clear();
    }
    std::sort(sessions.begin(), sessions.end(),
        [](const SessionFile& a, const SessionFile& b) { return a.id < b.id; });
    return sessions;
}

std::vector<std::string> applyRetention(const fs::path& folder, fs::file_time_type now,
    std::string_view keepId, const RetentionLimits& limits)
{
    std::vector<std::string> removed;
    std::vector<SessionFile> sessions = listSessionFiles(folder);
    std::uintmax_t total = 0;
    for (const SessionFile& session : sessions)
        total += session.size;
    for (const SessionFile& session : sessions) {
        const bool tooOld = now - session.lastWrite > limits.maxAge;
        if (!tooOld && total <= limits.maxTotalBytes)
            continue;
        if (session.id == keepId || journalFileInUse(session.path))
            continue;
        std::error_code error;
        if (fs::remove(session.path, error)) {
            total -= session.size;
            removed.push_back(session.id);
        }
    }
    return removed;
}

} // namespace clampmeter
