// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/meter_artwork.h"

#include "shared/artwork_picture.h"

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
    return artworkPicture(resource, size, devicePixelRatio);
}

} // namespace clampmeter
