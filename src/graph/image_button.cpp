// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/image_button.h"

#include "graph/navigation_artwork.h"

#include <QMouseEvent>
#include <QPainter>

namespace clampmeter {

ImageButton::ImageButton(int normal, int pressed, QWidget* parent)
    : PictureButton(parent)
    , m_normal(normal)
    , m_pressed(pressed)
{
    setCursor(Qt::PointingHandCursor);
}

void ImageButton::paintEvent(QPaintEvent*)
{
    const bool pressed = m_showingPressed || isDown();
    QPixmap& picture = m_pictures[pressed ? 1 : 0];
    if (picture.isNull() || picture.devicePixelRatio() != devicePixelRatioF())
        picture = NavigationArtwork::picture(pressed ? m_pressed : m_normal, devicePixelRatioF());
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture);
    paintFocusMark(painter);
}

void ImageButton::mousePressEvent(QMouseEvent* event)
{
    showPressed(true);
    if (event->button() == Qt::LeftButton)
        QAbstractButton::mousePressEvent(event);
    else
        event->accept();
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    showPressed(false);
    if (event->button() == Qt::LeftButton)
        QAbstractButton::mouseReleaseEvent(event);
    else
        event->accept();
}

void ImageButton::showPressed(bool pressed)
{
    if (m_showingPressed == pressed)
        return;
    m_showingPressed = pressed;
    update();
}

} // namespace clampmeter
