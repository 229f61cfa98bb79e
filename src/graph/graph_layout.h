// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "graph/graph_scales.h"

#include <array>

namespace clampmeter {

/// A control's designed place in the graph window, in twips from the client area's corner.
struct DesignPlace {
    int left = 0;
    int top = 0;
};

/// Tick labels Y_Label(0) … Y_Label(12): each level with its grid line, their design texts
/// ending at 855.
inline constexpr std::array<DesignPlace, kYLabels> kYLabelPlaces {
    {{750, 9240}, {645, 8625}, {540, 7950}, {540, 7275}, {540, 6600}, {540, 5925}, {540, 5250},
        {540, 4575}, {540, 3900}, {540, 3225}, {540, 2550}, {540, 1875}, {540, 1200}}};
/// X_Label1, X_Label2, X_Label3: first, middle and last record of the window.
inline constexpr std::array<DesignPlace, 3> kXLabelPlaces {
    {{960, 9480}, {5423, 9480}, {9720, 9480}}};
inline constexpr DesignPlace kLabel1Place {9855, 9720}; ///< "X", the horizontal axis
inline constexpr DesignPlace kLabel2Place {255, 1200}; ///< "Y", the vertical axis

/// The plot box Picture1, border included.
inline constexpr DesignPlace kPicture1Place {960, 1200};
inline constexpr int kPicture1WidthTwips = 9165;
inline constexpr int kPicture1HeightTwips = 8175;

/// The window measures its controls in units of its client area: 690 across its 10395 twips
/// (15.065 twips a unit) and 668 down its 10020 twips (15 a unit).
inline constexpr double kTwipsPerWindowUnitX = 10395.0 / 690.0;
inline constexpr double kTwipsPerWindowUnitY = 15.0;

} // namespace clampmeter
