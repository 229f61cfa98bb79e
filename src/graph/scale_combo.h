// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QComboBox>

#include <string_view>

namespace clampmeter {

/// A scale chooser of the graph window: a drop-down list with an edit field. Only choosing
/// an item acts (itemChosen); text typed into the edit field, Enter included, changes
/// nothing. A mouse wheel turned over it chooses only while it holds the focus, so that
/// scrolling past it never rescales the plot.
class ScaleCombo final : public QComboBox {
    Q_OBJECT

public:
    /// `editText` is what the edit field shows until an item is chosen.
    ScaleCombo(const char* name, const QString& editText, QWidget* parent);

    /// The load step: the items, in list order. No item is selected and the edit field
    /// keeps its text.
    template <typename Items> void fill(const Items& items)
    {
        const QString shown = currentText();
        for (std::string_view item : items)
            addItem(QString::fromLatin1(item.data(), static_cast<qsizetype>(item.size())));
        setCurrentIndex(-1);
        setEditText(shown);
    }

signals:
    void itemChosen(const QString& item);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};

} // namespace clampmeter
