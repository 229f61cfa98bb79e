// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/list_artwork.h"

#include "shared/widget_helpers.h"

namespace clampmeter {

QPixmap ListArtwork::skin(qreal devicePixelRatio)
{
    return renderSvgPicture(QStringLiteral(":/list/list_skin.svg"), kSkinSize, devicePixelRatio);
}

} // namespace clampmeter
