// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shared/skinned_window.h"

#include "shared/artwork_picture.h"

#include <QKeyEvent>
#include <QPainter>

namespace clampmeter {

SkinnedWindow::SkinnedWindow(const QString& skinResource, QSize size, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_skinResource(skinResource)
{
    setFixedSize(size);
}

void SkinnedWindow::paintEvent(QPaintEvent*)
{
    if (m_skin.isNull() || m_skin.devicePixelRatio() != devicePixelRatioF())
        m_skin = artworkPicture(m_skinResource, size(), devicePixelRatioF());
    QPainter(this).drawPixmap(0, 0, m_skin);
}

void SkinnedWindow::mousePressEvent(QMouseEvent* event)
{
    // Only presses on the skin get here: the controls keep their own.
    m_drag.press(this, event);
}

void SkinnedWindow::mouseMoveEvent(QMouseEvent* event)
{
    m_drag.move(this, event);
}

void SkinnedWindow::mouseReleaseEvent(QMouseEvent* event)
{
    m_drag.release(event);
}

void SkinnedWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace clampmeter
