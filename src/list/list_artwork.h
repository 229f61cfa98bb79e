// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPixmap>
#include <QSize>

namespace clampmeter {

/// The data list window's pictures, drawn from their vector sources at the screen's own
/// resolution.
class ListArtwork {
public:
    static constexpr QSize kSkinSize {324, 668};

    /// Title band, light blue body and blue frame.
    static QPixmap skin(qreal devicePixelRatio);
};

} // namespace clampmeter
