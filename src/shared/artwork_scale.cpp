// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shared/artwork_scale.h"

#include <cmath>

namespace clampmeter {

double nearestArtworkScale(double devicePixelRatio)
{
    double nearest = kArtworkScales.front();
    for (const double scale : kArtworkScales) {
        if (std::abs(scale - devicePixelRatio) <= std::abs(nearest - devicePixelRatio))
            nearest = scale;
    }
    return nearest;
}

} // namespace clampmeter
