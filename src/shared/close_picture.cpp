// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shared/close_picture.h"

#include "shared/artwork_picture.h"
#include "shared/widget_helpers.h"

#include <QPainter>

namespace clampmeter {

ClosePicture::ClosePicture(const QRect& geometry, QWidget* parent)
    : PictureButton(parent)
{
    setObjectName(QStringLiteral("Image1"));
    setAccessibleName(QStringLiteral("Close"));
    setCursor(Qt::PointingHandCursor);
    setGeometry(geometry);
}

void ClosePicture::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull() || m_picture.devicePixelRatio() != devicePixelRatioF())
        m_picture
            = artworkPicture(QStringLiteral(":/shared/close.svg"), kSize, devicePixelRatioF());
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
    paintFocusMark(painter);
}

} // namespace clampmeter
