// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/scale_combo.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

namespace clampmeter {

ScaleCombo::ScaleCombo(const char* name, const QString& editText, QWidget* parent)
    : QComboBox(parent)
{
    setObjectName(QString::fromLatin1(name));
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    // Not WheelFocus: a wheel would take the focus first and then choose.
    setFocusPolicy(Qt::StrongFocus);
    setEditText(editText);
    // Enter in the edit field would pick the item whose text was typed: typing never acts.
    lineEdit()->installEventFilter(this);
    connect(
        this, &QComboBox::activated, this, [this](int index) { emit itemChosen(itemText(index)); });
}

bool ScaleCombo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QComboBox::eventFilter(watched, event);
}

void ScaleCombo::wheelEvent(QWheelEvent* event)
{
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

} // namespace clampmeter
