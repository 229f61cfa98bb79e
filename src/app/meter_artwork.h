// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace clampmeter {

/// The pictures of the main panel, drawn from their vector sources at the screen's own
/// resolution so that they stay crisp on high-density screens.
class MeterArtwork {
public:
    static constexpr QSize kSkinSize {262, 700};
    static constexpr QSize kDialSize {142, 131};
    static constexpr int kDialPictures
        = 8; ///< 1 OFF, 2 V AC, 3 A AC, 4 kW, 5 kVA, 6 kVAR, 7 PF, 8 energy

    /// The meter skin, 262 × 700 logical pixels with pure white surroundings.
    static QPixmap skin(qreal devicePixelRatio);
    /// Dial picture 1 … 8 (ImageList1), 142 × 131 logical pixels.
    static QPixmap dial(int picture, qreal devicePixelRatio);

private:
    static QPixmap render(const QString& resource, QSize size, qreal devicePixelRatio);
};

} // namespace clampmeter
