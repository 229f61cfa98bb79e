// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cmath>

namespace clampmeter {

/// Window and page layouts are written in twips, 1/1440 inch; on the screen 15 twips make
/// one pixel.
inline constexpr int kTwipsPerPixel = 15;

/// Screen pixels for a length in twips, rounded to the nearest pixel with halves to even.
inline int twipsToPixels(int twips)
{
    return static_cast<int>(std::nearbyint(static_cast<double>(twips) / kTwipsPerPixel));
}

} // namespace clampmeter
