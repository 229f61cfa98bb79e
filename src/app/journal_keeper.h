// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "journal/session_journal.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

namespace clampmeter {

/// Keeps the session journal on the event loop: what was written reaches the disk within a
/// second (one sync a second at most), and a journal that cannot be written is said once in
/// a message and tried again every minute, while capture goes on without it.
class JournalKeeper final : public QObject, public JournalSink {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kSyncDelay {1000};
    static constexpr std::chrono::milliseconds kRetryInterval {60'000};

    /// Shows a message to the user; called after the handler that met the failure is done.
    using ShowMessage = std::function<void(const QString& text)>;

    JournalKeeper(SessionJournal::Settings settings, SessionJournal::Clock clock,
        ShowMessage showMessage, QObject* parent = nullptr);

    /// Creates the journal file and writes its start.
    void start();
    /// Marks the clean end.
    void close();

    void readingCaptured(FrameBytes frame, const DataRecord& record, bool stored) override;
    void listCleared() override;
    void listSaved(SavedFormat format, std::int32_t records) override;

    const SessionJournal& journal() const { return m_journal; }
    bool retrying() const { return m_retry.isActive(); }

private:
    void written();
    void failed(const std::string& reason);
    void retry();

    SessionJournal m_journal;
    ShowMessage m_showMessage;
    QTimer m_sync;
    QTimer m_retry;
};

/// "The journal of this session cannot be written (REASON): …".
QString journalFailureMessage(const std::filesystem::path& file, const std::string& reason);

} // namespace clampmeter
