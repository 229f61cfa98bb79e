// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "journal/journal_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace clampmeter {
namespace {

void take(JournalSession& session, JournalEntry& entry)
{
    if (session.startUtc.empty())
        session.startUtc = entry.utc;
    session.lastUtc = entry.utc;
    switch (entry.event) {
    case JournalEvent::Start:
        session.program = entry.program;
        break;
    case JournalEvent::Reading:
        session.readings.push_back(
            {std::move(entry.record), entry.frame, std::move(entry.utc), entry.stored});
        break;
    case JournalEvent::Clear:
        session.listStart = session.readings.size();
        session.savedReadings = 0;
        break;
    case JournalEvent::Saved:
        session.savedReadings = std::max(session.savedReadings,
            std::min(static_cast<std::size_t>(entry.records), session.listReadings()));
        break;
    case JournalEvent::End:
        session.endedCleanly = true;
        break;
    }
}

} // namespace

JournalSession readJournal(std::istream& in)
{
    JournalSession session;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        auto entry = parseJournalLine(line);
        if (!entry) {
            ++session.brokenLines;
            continue;
        }
        take(session, *entry);
    }
    return session;
}

std::optional<JournalSession> readJournalFile(
    const std::filesystem::path& path, std::string& reason)
{
    // Only a regular file, never through a link: a FIFO would hold the read for ever.
    std::error_code error;
    const auto type = std::filesystem::symlink_status(path, error).type();
    if (!error && type != std::filesystem::file_type::regular) {
        reason = "not a regular file";
        return std::nullopt;
    }
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        reason = errno != 0 ? std::strerror(errno) : "cannot be read";
        return std::nullopt;
    }
    return readJournal(in);
}

std::vector<DataRecord> journalRecords(const JournalSession& session, JournalRange range)
{
    const std::size_t first = range == JournalRange::All ? 0 : session.listStart;
    std::vector<DataRecord> records;
    records.reserve(session.readings.size() - first);
    std::int32_t no = 0;
    for (std::size_t i = first; i < session.readings.size(); ++i) {
        records.push_back(session.readings[i].record);
        records.back().No = ++no;
    }
    return records;
}

const JournalReading* firstUnsavedReading(const JournalSession& session)
{
    if (session.unsavedReadings() == 0)
        return nullptr;
    return &session.readings[session.listStart + session.savedReadings];
}

} // namespace clampmeter
