// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "journal_listing.h"

#include "journal/journal_file.h"
#include "journal/utc_time.h"

#include <algorithm>

namespace clampmeter::cli {
namespace {

std::string localOf(const std::string& utc)
{
    const auto time = parseUtcTimestamp(utc);
    return time ? localDateTime(*time) : std::string("-");
}

std::string_view endWords(SessionEnd ended)
{
    switch (ended) {
    case SessionEnd::Running:
        return "running";
    case SessionEnd::Cleanly:
        return "cleanly";
    case SessionEnd::Unexpectedly:
        return "unexpectedly";
    }
    return {};
}

std::string savedWords(const SessionSummary& summary)
{
    if (summary.unsaved == 0)
        return "yes";
    return "no, " + std::to_string(summary.unsaved) + " unsaved";
}

void appendCell(std::string& row, std::string_view text, std::size_t width)
{
    row.append(text);
    row.append(width > text.size() ? width - text.size() : 1, ' ');
}

} // namespace

SessionSummary summariseSession(const std::string& id, const JournalSession& session, bool inUse)
{
    SessionSummary summary;
    summary.id = id;
    summary.start = localOf(session.startUtc);
    summary.end = inUse ? std::string("-") : localOf(session.lastUtc);
    summary.readings = session.readings.size();
    summary.unsaved = session.unsavedReadings();
    summary.ended = inUse      ? SessionEnd::Running
        : session.endedCleanly ? SessionEnd::Cleanly
                               : SessionEnd::Unexpectedly;
    return summary;
}

std::string sessionTable(const std::vector<SessionSummary>& sessions)
{
    std::size_t idWidth = std::string_view("SESSION").size();
    for (const SessionSummary& session : sessions)
        idWidth = std::max(idWidth, session.id.size());
    idWidth += 2;
    constexpr std::size_t kTimeWidth = 21;
    constexpr std::size_t kCountWidth = 10;
    constexpr std::size_t kEndWidth = 14;
    std::string table;
    appendCell(table, "SESSION", idWidth);
    appendCell(table, "STARTED", kTimeWidth);
    appendCell(table, "LAST", kTimeWidth);
    appendCell(table, "READINGS", kCountWidth);
    appendCell(table, "ENDED", kEndWidth);
    table += "SAVED\n";
    for (const SessionSummary& session : sessions) {
        appendCell(table, session.id, idWidth);
        appendCell(table, session.start, kTimeWidth);
        appendCell(table, session.end, kTimeWidth);
        appendCell(table, std::to_string(session.readings), kCountWidth);
        appendCell(table, endWords(session.ended), kEndWidth);
        table += savedWords(session) + '\n';
    }
    return table;
}

std::optional<SessionFile> chooseSession(
    const std::vector<SessionFile>& sessions, std::string_view name)
{
    if (name == "latest") {
        for (auto it = sessions.rbegin(); it != sessions.rend(); ++it) {
            if (!journalFileInUse(it->path))
                return *it;
        }
        return std::nullopt;
    }
    for (const SessionFile& session : sessions) {
        if (session.id == name)
            return session;
    }
    return std::nullopt;
}

} // namespace clampmeter::cli
