// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPixmap>
#include <QSize>

namespace clampmeter {

/// The graph window's skin: a blue title band, a blue border and a plain grey body, drawn
/// from its vector source at the screen's own resolution.
class GraphArtwork {
public:
    static constexpr QSize kSkinSize {693, 668};

    static QPixmap skin(qreal devicePixelRatio);
};

} // namespace clampmeter
