// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/graph_scales.h"

#include <charconv>

namespace clampmeter {

std::string generalNumber(double value)
{
    std::array<char, 32> buffer {};
    const auto result = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, 15);
    std::string text(buffer.data(), result.ptr);
    if (text == "-0")
        text = "0";
    return text;
}

XLabelTexts xLabelTexts(std::int32_t graphStart, std::int32_t xScale)
{
    // In 64 bits: the last record of a window may lie past what 32 bits count.
    const std::int64_t start = graphStart;
    return {std::to_string(start),
        generalNumber(static_cast<double>(start) + static_cast<double>(xScale) / 2.0),
        std::to_string(start + xScale - 1)};
}

std::string yLabelText(int k, std::int32_t yScale)
{
    return generalNumber(k * (static_cast<double>(yScale) / 12.0));
}

double xStepFor(std::int32_t xScale)
{
    return 600.0 / static_cast<double>(xScale);
}

std::int32_t scaleOfItem(std::string_view item)
{
    std::int32_t scale = 0;
    const auto result = std::from_chars(item.data(), item.data() + item.size(), scale);
    if (result.ec != std::errc {} || result.ptr != item.data() + item.size() || scale <= 0)
        return 0;
    return scale;
}

} // namespace clampmeter
