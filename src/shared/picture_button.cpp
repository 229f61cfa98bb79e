// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shared/picture_button.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPen>

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
    if (!hasFocus())
        return;
    painter.save();
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(frame);
    QPen dots(Qt::black, 1, Qt::CustomDashLine);
    dots.setDashPattern({1.0, 1.0});
    painter.setPen(dots);
    painter.drawRect(frame);
    painter.restore();
}

} // namespace clampmeter
