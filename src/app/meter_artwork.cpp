// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/meter_artwork.h"

#include <QPainter>
#include <QSvgRenderer>

namespace clampmeter {

QPixmap MeterArtwork::skin(qreal devicePixelRatio)
{
    return render(QStringLiteral(":/artwork/meter_skin.svg"), kSkinSize, devicePixelRatio);
}

QPixmap MeterArtwork::dial(int picture, qreal devicePixelRatio)
{
    return render(
        QStringLiteral(":/artwork/dial_%1.svg").arg(picture), kDialSize, devicePixelRatio);
}

QPixmap MeterArtwork::render(const QString& resource, QSize size, qreal devicePixelRatio)
{
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::white);
    QSvgRenderer renderer(resource);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

} // namespace clampmeter
