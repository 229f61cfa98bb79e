// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/plot_position.h"

#include "graph/plot_geometry.h"

#include <cmath>
#include <limits>

namespace clampmeter {
namespace {

constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
constexpr double kHighest = std::numeric_limits<std::int32_t>::max();

} // namespace

std::int32_t roundPosition(double position)
{
    if (std::isnan(position))
        return std::numeric_limits<std::int32_t>::max();
    if (position <= kLowest)
        return std::numeric_limits<std::int32_t>::min();
    if (position >= kHighest)
        return std::numeric_limits<std::int32_t>::max();
    // The default rounding mode rounds halves to even; nothing in the program changes it.
    return static_cast<std::int32_t>(std::nearbyint(position));
}

std::int32_t pointX(std::int32_t i, double xStep)
{
    return roundPosition(static_cast<double>(i - 1) * xStep + 1.0);
}

std::int32_t pointY(double value, std::int32_t yScale)
{
    return roundPosition(kPlotHeight - (value / yScale) * 540.0);
}

LabelPlace placeBesidePoint(const GraphPoint& point, double boxWidth)
{
    // In double: a point clamped at the type's limit must not overflow here.
    LabelPlace place {
        static_cast<double>(point.PointX) + 10.0, static_cast<double>(point.PointY) - 90.0};
    if (place.top < 0.0)
        place.top = 0.0;
    if (place.left + kPointLabelWidth > boxWidth)
        place.left = boxWidth - kPointLabelWidth;
    return place;
}

const DataRecord* pointRecord(const VarModule& vars, const GraphPoint& point)
{
    if (point.PointNo < 1 || point.PointNo > kMaxRecords)
        return nullptr;
    return &vars.DataRecords[static_cast<std::size_t>(point.PointNo - 1)];
}

} // namespace clampmeter
