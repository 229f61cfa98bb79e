// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shared/picture_button.h"

#include "shared/widget_helpers.h"

#include <QKeyEvent>

namespace clampmeter {

PictureButton::PictureButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::TabFocus);
}

void PictureButton::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && event->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void PictureButton::paintFocusMark(QPainter& painter) const
{
    if (hasFocus())
        paintFocusFrame(painter, rect());
}

} // namespace clampmeter
