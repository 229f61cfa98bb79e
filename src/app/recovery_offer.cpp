// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/recovery_offer.h"

#include "list/list_file_commands.h"

#include <QMessageBox>
#include <QPushButton>

namespace clampmeter {

void offerRecovery(const UnfinishedSession& unfinished, RecoveryServices& services)
{
    const std::string message = unfinishedSessionMessage(unfinished.session, unfinished.latest);
    if (message.empty() || !services.askToSave(QString::fromStdString(message)))
        return;
    const std::string chosen
        = services.dialog.showSave({kSaveDialogTitle, kRecoveryFilter, std::string_view()});
    if (chosen.empty())
        return;
    const std::string failure
        = saveUnfinishedSession(unfinished, chosen, services.files, services.clock, services.now());
    if (!failure.empty())
        services.showMessage(QString::fromStdString(failure));
}

bool askToSaveRecovered(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, parent);
    QPushButton* save = box.addButton(QStringLiteral("Save…"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Later"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.exec();
    return box.clickedButton() == save;
}

} // namespace clampmeter
