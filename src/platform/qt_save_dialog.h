// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "list/save_dialog.h"

#include <QStringList>

#include <string_view>

class QWidget;

namespace clampmeter {

/// Which file dialog QtSaveDialog shows.
enum class SaveDialogStyle {
    Native, ///< the desktop's own dialog where Qt has one (the program's choice)
    QtWidgets, ///< Qt's widget dialog, the same everywhere (tests drive it)
};

/// Qt name filters from "description|pattern" pairs: "text files (*.txt)|*.txt" gives
/// "text files (*.txt)". A description that does not end in its patterns gets them
/// appended in parentheses, with ";" between patterns turned into blanks as Qt wants.
QStringList qtNameFilters(std::string_view filter);

/// The suffix a name filter's pattern gives a bare file name: "txt" for "*.txt"; empty for a
/// pattern that names no single suffix.
QString suffixOfFilter(const QString& nameFilter);

/// The save dialog of the list window's file commands: a modal QFileDialog that offers the
/// given full file name in its folder, adds the selected filter's suffix to a name typed
/// without one and asks before replacing a file.
class QtSaveDialog final : public SaveDialog {
public:
    /// `parent` centres the dialog and may be null.
    explicit QtSaveDialog(QWidget* parent, SaveDialogStyle style = SaveDialogStyle::Native);

    std::string showSave(const SaveDialogRequest& request) override;

private:
    QWidget* m_parent;
    SaveDialogStyle m_style;
};

} // namespace clampmeter
