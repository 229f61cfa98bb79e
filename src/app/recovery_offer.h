// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "journal/journal_recovery.h"
#include "list/save_dialog.h"

#include <QString>

#include <functional>

class QWidget;

namespace clampmeter {

/// What the offer to save the readings of an unexpectedly ended session works with.
struct RecoveryServices {
    SaveDialog& dialog;
    OutputFiles& files;
    CaptureClock& clock;
    /// Shows the question with "Save…" and "Later"; true for "Save…".
    std::function<bool(const QString& text)> askToSave;
    /// Shows a failure to save.
    std::function<void(const QString& text)> showMessage;
    std::function<UtcTime()> now = [] { return std::chrono::system_clock::now(); };
};

/// Says that the last session ended unexpectedly with readings not saved and, when the user
/// wants, saves them through the save dialog in either format (by the name's suffix) and
/// marks them saved in that session's journal. "Later" leaves them in the journal, where
/// `clampmeter-cli journal export` finds them.
void offerRecovery(const UnfinishedSession& unfinished, RecoveryServices& services);

/// The question as a modal box over `parent` with "Save…" and "Later".
bool askToSaveRecovered(QWidget* parent, const QString& title, const QString& text);

} // namespace clampmeter
