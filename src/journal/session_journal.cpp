// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "journal/session_journal.h"

#include "journal/journal_folder.h"

#include <utility>

namespace clampmeter {

SessionJournal::SessionJournal(Settings settings, Clock clock, FailureHandler onFailure)
    : m_settings(std::move(settings))
    , m_clock(std::move(clock))
    , m_onFailure(std::move(onFailure))
{
}

std::filesystem::path SessionJournal::filePath() const
{
    return m_settings.folder / (m_settings.id + std::string(kJournalSuffix));
}

bool SessionJournal::start()
{
    m_pending = startLine(utcTimestamp(m_clock()), m_settings.program, m_settings.pid);
    m_started = true;
    if (!openFile())
        return false;
    flushPending();
    return !m_failing;
}

bool SessionJournal::openFile()
{
    if (const std::string reason = createPrivateFolder(m_settings.folder); !reason.empty()) {
        fail(reason);
        return false;
    }
    if (!m_file.open(filePath(), JournalFile::Mode::Create)) {
        fail(m_file.errorText());
        return false;
    }
    return true;
}

void SessionJournal::readingCaptured(FrameBytes frame, const DataRecord& record, bool stored)
{
    m_line.clear();
    appendReadingLine(m_line, utcTimestamp(m_clock()), frame, record, stored);
    write(m_line, true);
}

void SessionJournal::listCleared()
{
    write(clearLine(utcTimestamp(m_clock())), false);
}

void SessionJournal::listSaved(SavedFormat format, std::int32_t records)
{
    write(savedLine(utcTimestamp(m_clock()), format, records), false);
}

void SessionJournal::close()
{
    if (m_closed || !m_started)
        return;
    write(endLine(utcTimestamp(m_clock())), false);
    if (m_file.isOpen() && !m_failing)
        sync();
    m_file.close();
    m_closed = true;
}

void SessionJournal::write(std::string_view line, bool isReading)
{
    if (m_closed || !m_started)
        return;
    if (m_failing) {
        // Waiting for a retry: keep the line unless too much waits already.
        if (isReading && m_pending.size() + line.size() > kMaxPendingBytes) {
            ++m_dropped;
            return;
        }
        m_pending.append(line);
        return;
    }
    std::size_t written = 0;
    if (m_file.append(line, written)) {
        m_unsynced = true;
        return;
    }
    m_unsynced = m_unsynced || written > 0;
    m_pending.assign(line.substr(written));
    fail(m_file.errorText());
}

void SessionJournal::flushPending()
{
    std::size_t written = 0;
    const bool ok = m_file.append(m_pending, written);
    m_unsynced = m_unsynced || written > 0;
    m_pending.erase(0, written);
    if (!ok) {
        fail(m_file.errorText());
        return;
    }
    m_failing = false;
}

void SessionJournal::sync()
{
    if (!m_file.isOpen() || !m_unsynced)
        return;
    if (!m_file.sync()) {
        fail(m_file.errorText());
        return;
    }
    m_unsynced = false;
}

void SessionJournal::retry()
{
    if (!m_failing || m_closed)
        return;
    if (!m_file.isOpen() && !openFile())
        return;
    flushPending();
    if (!m_failing && m_unsynced)
        sync();
}

void SessionJournal::fail(const std::string& reason)
{
    if (std::exchange(m_failing, true))
        return;
    if (m_onFailure)
        m_onFailure(reason);
}

std::string appendToJournal(const std::filesystem::path& path, std::string_view line)
{
    JournalFile file;
    if (!file.open(path, JournalFile::Mode::Append))
        return file.errorText();
    std::size_t written = 0;
    if ((!file.endsWithLineEnd() && !file.append("\n", written)) || !file.append(line, written)
        || !file.sync())
        return file.errorText();
    return {};
}

} // namespace clampmeter
