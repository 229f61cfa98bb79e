// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>

namespace clampmeter {

/// The screen scales (device pixels per logical pixel) the pictures are drawn at
/// beforehand where the program has no SVG renderer: Windows' 100, 125, 150 and 200 %.
inline constexpr std::array<double, 4> kArtworkScales {1.0, 1.25, 1.5, 2.0};

/// The prepared scale nearest to a screen's device pixel ratio; of two equally near, the
/// larger, since a picture shrunk stays sharper than one blown up.
double nearestArtworkScale(double devicePixelRatio);

} // namespace clampmeter
