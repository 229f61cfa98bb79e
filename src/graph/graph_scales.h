// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace clampmeter {

/// The items of X_Combo, in list order: points per graph window.
inline constexpr std::array<std::string_view, 7> kXScaleItems {
    "1000", "500", "200", "100", "50", "20", "10"};
/// The items of Y_Combo, in list order: full-scale value of the vertical axis.
inline constexpr std::array<std::string_view, 7> kYScaleItems {
    "6000", "1200", "600", "120", "60", "12", "6"};

/// Number of vertical tick labels, Y_Label(0) … Y_Label(12).
inline constexpr int kYLabels = 13;

/// A number as a general number format writes it: shortest form up to 15 significant
/// digits, no trailing zeros, a point as decimal separator and a digit before it (0.5, 1,
/// 1.5, 51).
std::string generalNumber(double value);

/// The captions of X_Label1, X_Label2 and X_Label3 for a window of `xScale` records
/// starting at record `graphStart`: its first record, its middle (start + scale / 2, in
/// floating point) and its last record. They always describe a full window.
struct XLabelTexts {
    std::string first;
    std::string middle;
    std::string last;
};
XLabelTexts xLabelTexts(std::int32_t graphStart, std::int32_t xScale);

/// The caption of tick label k (1 … 12): k × (yScale / 12). Label 0 always reads "0".
std::string yLabelText(int k, std::int32_t yScale);

/// Points per window from 600 plot units: 600 / xScale.
double xStepFor(std::int32_t xScale);

/// The whole number an item's text stands for ("1000" gives 1000); 0 for any other text.
std::int32_t scaleOfItem(std::string_view item);

} // namespace clampmeter
