// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPixmap>
#include <QSize>

namespace clampmeter {

/// The ten pictures of the navigation buttons (ImageList1), numbered from 1. Pictures 1 to 5
/// are the normal look, a light grey face in a light blue frame; 6 to 10 the pressed look,
/// a yellow-green face. Both carry, in button order, a bar and a left chevron, a left
/// chevron, a round dot, a right chevron, and a right chevron and a bar, in blue.
class NavigationArtwork {
public:
    static constexpr QSize kSize {60, 21};
    static constexpr int kPictures = 10;

    /// Picture `number` (1 … 10) for a screen of the given pixel ratio.
    static QPixmap picture(int number, qreal devicePixelRatio);
};

} // namespace clampmeter
