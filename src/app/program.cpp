// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/program.h"

#include "app/form1.h"
#include "app/journal_keeper.h"
#include "app/recovery_offer.h"
#include "platform/qt_output_files.h"
#include "platform/qt_save_dialog.h"
#include "shared/version.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <memory>
#include <optional>

namespace clampmeter {
namespace {

void showMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, Form1::kTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

/// This run's journal, when there is a folder for it and it is not switched off. The
/// previous run's unfinished session, if any, is looked up first and old sessions go.
struct RunJournal {
    std::unique_ptr<JournalKeeper> keeper;
    std::optional<UnfinishedSession> unfinished;
};

RunJournal startJournal(QWidget* panel, std::string_view folderName)
{
    RunJournal run;
    const auto folder = defaultJournalFolder(folderName);
    if (journalSwitchedOff() || !folder)
        return run;
    const UtcTime now = std::chrono::system_clock::now();
    const auto pid = static_cast<std::int64_t>(QCoreApplication::applicationPid());
    const std::string id = newSessionId(now, pid);
    applyRetention(*folder, std::filesystem::file_time_type::clock::now(), id);
    run.unfinished = findUnfinishedSession(*folder, id);
    run.keeper = std::make_unique<JournalKeeper>(
        SessionJournal::Settings {*folder, id, "clampmeter " + std::string(kVersion), pid},
        [] { return std::chrono::system_clock::now(); },
        [panel](const QString& text) { showMessage(panel, text); });
    run.keeper->start();
    return run;
}

void offerToSave(Form1& form, const UnfinishedSession& unfinished)
{
    QtSaveDialog dialog(&form);
    QtOutputFiles files;
    RecoveryServices services {dialog, files, form.clock(),
        [&form](const QString& text) { return askToSaveRecovered(&form, Form1::kTitle, text); },
        [&form](const QString& text) { showMessage(&form, text); }};
    offerRecovery(unfinished, services);
    // Readings piled up on the line while the boxes were open.
    form.resynchronise();
}

} // namespace

int runProgram(SerialDeviceMap& deviceMap, CaptureClock& clock, std::string_view journalFolder,
    MeterPortMaker makePort)
{
    auto vars = std::make_unique<VarModule>();
    Form1::Services services {*vars, deviceMap, clock, {}};
    services.makePort = std::move(makePort);
    Form1 form(std::move(services));
    if (!form.load())
        return kStartFailedExitCode;
    RunJournal journal = startJournal(&form, journalFolder);
    form.setJournal(journal.keeper.get());
    QObject::connect(&form, &Form1::closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    // Centred on the screen it opens on, as the panel's own settings ask.
    if (const QScreen* screen = form.screen())
        form.move(screen->availableGeometry().center() - form.rect().center());
    form.show();
    if (journal.unfinished) {
        QTimer::singleShot(0, &form, [&form, &journal] { offerToSave(form, *journal.unfinished); });
    }
    const int code = QApplication::exec();
    // Only an Exit of the panel (or a stop request the demo turns into one) reaches here: a
    // crash, a kill or a logout leaves the journal open, which the next start tells.
    if (journal.keeper)
        journal.keeper->close();
    return code;
}

} // namespace clampmeter
