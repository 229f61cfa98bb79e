// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace clampmeter {

/// The plot box's own units: (0, 0) is its top-left inner corner, (605, 543) its bottom-right
/// one. The plot proper runs from x 1 to 600 and from y 3 (full scale) down to 543 (zero).
inline constexpr double kPlotWidth = 605.0;
inline constexpr double kPlotHeight = 543.0;

/// The plot box's inner size in twips, which the units above divide.
inline constexpr int kPlotInnerWidthTwips = 9135;
inline constexpr int kPlotInnerHeightTwips = 8145;

/// Twips in one horizontal plot unit (15.099 …) and in one vertical one (15).
inline constexpr double kTwipsPerPlotUnitX = kPlotInnerWidthTwips / kPlotWidth;
inline constexpr double kTwipsPerPlotUnitY = kPlotInnerHeightTwips / kPlotHeight;

/// The readout labels beside a point are designed 1485 twips wide: 98.35 units.
inline constexpr double kPointLabelWidth = 1485.0 / kTwipsPerPlotUnitX;

/// Dots on the curve: radius in plot units.
inline constexpr double kDotRadius = 2.0;

} // namespace clampmeter
