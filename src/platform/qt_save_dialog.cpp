// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/qt_save_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace clampmeter {

namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QStringList qtNameFilters(std::string_view filter)
{
    QStringList filters;
    const QStringList parts = fromUtf8(filter).split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString bracketed = QLatin1Char('(') + patterns + QLatin1Char(')');
        filters.append(description.endsWith(bracketed)
                ? description
                : description + QLatin1Char(' ') + bracketed);
    }
    return filters;
}

QString suffixOfFilter(const QString& nameFilter)
{
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = nameFilter.lastIndexOf(QLatin1Char(')'));
    const QString pattern
        = open >= 0 && close > open ? nameFilter.mid(open + 1, close - open - 1) : nameFilter;
    if (!pattern.startsWith(QLatin1String("*.")) || pattern.contains(QLatin1Char(' ')))
        return {};
    const QString suffix = pattern.mid(2);
    return suffix.contains(QLatin1Char('*')) ? QString() : suffix;
}

QtSaveDialog::QtSaveDialog(QWidget* parent, SaveDialogStyle style)
    : m_parent(parent)
    , m_style(style)
{
}

std::string QtSaveDialog::showSave(const SaveDialogRequest& request)
{
    QFileDialog dialog(m_parent, fromUtf8(request.title));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog, m_style == SaveDialogStyle::QtWidgets);
    const QStringList filters = qtNameFilters(request.filter);
    dialog.setNameFilters(filters);
    // A bare name gets the suffix of the filter chosen, before the question whether to
    // replace a file of that name.
    if (!filters.isEmpty())
        dialog.setDefaultSuffix(suffixOfFilter(filters.first()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { dialog.setDefaultSuffix(suffixOfFilter(filter)); });
    if (!request.fileName.empty()) {
        const QFileInfo offered(fromUtf8(request.fileName));
        dialog.setDirectory(offered.absolutePath());
        dialog.selectFile(offered.fileName());
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? std::string {} : chosen.first().toStdString();
}

} // namespace clampmeter
