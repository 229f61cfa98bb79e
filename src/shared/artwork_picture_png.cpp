// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shared/artwork_picture.h"

#include "shared/artwork_scale.h"

#include <QImage>

namespace clampmeter {

QPixmap artworkPicture(const QString& resource, QSize size, qreal devicePixelRatio)
{
    // ":/artwork/meter_skin.svg" at 125 % is ":/artwork/meter_skin@1.25x.png".
    const double scale = nearestArtworkScale(devicePixelRatio);
    QString name = resource;
    name.chop(4);
    name += QStringLiteral("@%1x.png").arg(scale);
    QImage image(name);
    const QSize pixels = size * devicePixelRatio;
    if (image.isNull()) {
        image = QImage(pixels, QImage::Format_RGB32);
        image.fill(Qt::white);
    } else if (image.size() != pixels) {
        // Between two prepared scales: the nearest one, resized to the screen's pixels.
        image = image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

} // namespace clampmeter
