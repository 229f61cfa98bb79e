// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/graph_artwork.h"

#include "shared/widget_helpers.h"

namespace clampmeter {

QPixmap GraphArtwork::skin(qreal devicePixelRatio)
{
    return renderSvgPicture(QStringLiteral(":/graph/graph_skin.svg"), kSkinSize, devicePixelRatio);
}

} // namespace clampmeter
