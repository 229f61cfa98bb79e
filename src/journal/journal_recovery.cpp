// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "journal/journal_recovery.h"

#include "journal/journal_file.h"
#include "journal/journal_folder.h"
#include "journal/session_journal.h"
#include "list/export_writer.h"
#include "list/list_file_commands.h"
#include "list/text_report_writer.h"
#include "shared/counted_noun.h"

#include <cctype>
#include <memory>

namespace clampmeter {

std::optional<UnfinishedSession> findUnfinishedSession(
    const std::filesystem::path& folder, std::string_view ownId)
{
    const std::vector<SessionFile> sessions = listSessionFiles(folder);
    bool latest = true;
    // Back to the last session that ended cleanly: one that ended unexpectedly before its
    // first reading must not hide the unsaved readings of the one before it.
    for (auto it = sessions.rbegin(); it != sessions.rend(); ++it) {
        if (it->id == ownId || journalFileInUse(it->path))
            continue;
        std::string reason;
        auto session = readJournalFile(it->path, reason);
        if (session && session->endedCleanly)
            return std::nullopt;
        if (session && session->unsavedReadings() > 0)
            return UnfinishedSession {it->path, std::move(*session), latest};
        latest = false;
    }
    return std::nullopt;
}

std::string unfinishedSessionMessage(const JournalSession& session, bool latest)
{
    const JournalReading* first = firstUnsavedReading(session);
    if (first == nullptr)
        return {};
    const DataRecord& from = first->record;
    const DataRecord& to = session.readings.back().record;
    const std::size_t count = session.unsavedReadings();
    const std::string start = latest ? "The last session ended unexpectedly. Its "
                                     : "An earlier session ended unexpectedly. Its ";
    if (count == 1)
        return start + "1 reading of " + from.DateText + " " + from.TimeText + " was not saved.";
    return start + countedNoun(count, "reading", "readings") + " from " + from.DateText + " "
        + from.TimeText + " to " + to.DateText + " " + to.TimeText + " were not saved.";
}

std::string saveUnfinishedSession(const UnfinishedSession& unfinished, const std::string& path,
    OutputFiles& files, CaptureClock& clock, UtcTime now)
{
    std::string suffix = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
    for (char& c : suffix)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool csv = suffix == ".csv";
    const std::vector<DataRecord> records
        = journalRecords(unfinished.session, JournalRange::SinceLastClear);
    {
        const std::unique_ptr<OutputFile> file = files.create(path);
        const bool written
            = csv ? writeExport(records, *file) : writeTextReport(records, clock, *file);
        if (!written || !file->commit())
            return saveFailureMessage(path, file->errorText());
    }
    // The readings are safe in the file; a journal that cannot take the mark only means
    // the next listing still calls them unsaved.
    appendToJournal(unfinished.path,
        savedLine(utcTimestamp(now), csv ? SavedFormat::Csv : SavedFormat::Report,
            static_cast<std::int32_t>(records.size())));
    return {};
}

} // namespace clampmeter
