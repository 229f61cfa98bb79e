// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/journal_keeper.h"

namespace clampmeter {

JournalKeeper::JournalKeeper(SessionJournal::Settings settings, SessionJournal::Clock clock,
    ShowMessage showMessage, QObject* parent)
    : QObject(parent)
    , m_journal(std::move(settings), std::move(clock),
          [this](const std::string& reason) { failed(reason); })
    , m_showMessage(std::move(showMessage))
{
    m_sync.setSingleShot(true);
    m_sync.setInterval(kSyncDelay);
    connect(&m_sync, &QTimer::timeout, this, [this] { m_journal.sync(); });
    m_retry.setInterval(kRetryInterval);
    connect(&m_retry, &QTimer::timeout, this, &JournalKeeper::retry);
}

void JournalKeeper::start()
{
    m_journal.start();
    written();
}

void JournalKeeper::close()
{
    m_sync.stop();
    m_retry.stop();
    m_journal.close();
}

void JournalKeeper::readingCaptured(FrameBytes frame, const DataRecord& record, bool stored)
{
    m_journal.readingCaptured(frame, record, stored);
    written();
}

void JournalKeeper::listCleared()
{
    m_journal.listCleared();
    written();
}

void JournalKeeper::listSaved(SavedFormat format, std::int32_t records)
{
    m_journal.listSaved(format, records);
    written();
}

void JournalKeeper::written()
{
    // The first write after a sync starts the second after which it is synced with all
    // that follows it meanwhile.
    if (m_journal.needsSync() && !m_sync.isActive())
        m_sync.start();
}

void JournalKeeper::failed(const std::string& reason)
{
    m_retry.start();
    // Not inside the capture step that met it: a message box runs an event loop of its own.
    const QString text = journalFailureMessage(m_journal.filePath(), reason);
    QMetaObject::invokeMethod(
        this, [this, text] { m_showMessage(text); }, Qt::QueuedConnection);
}

void JournalKeeper::retry()
{
    m_journal.retry();
    if (!m_journal.failing())
        m_retry.stop();
    written();
}

QString journalFailureMessage(const std::filesystem::path& file, const std::string& reason)
{
    return QStringLiteral("The journal of this session cannot be written (%1): %2.\n\n"
                          "Readings are still logged and listed; save them before you end the "
                          "program. The journal is tried again every minute.")
        .arg(QString::fromStdString(file.string()), QString::fromStdString(reason));
}

} // namespace clampmeter
