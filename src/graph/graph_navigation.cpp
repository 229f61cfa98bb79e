// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/graph_navigation.h"

#include "graph/plot_position.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace clampmeter {
namespace {

/// The smaller of the records left from GraphStart on and a window's worth.
std::int32_t pointsFromStart(const VarModule& vars)
{
    const std::int64_t left = static_cast<std::int64_t>(vars.DataCount) - vars.GraphStart + 1;
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(std::min<std::int64_t>(left, vars.XScale),
            std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

double halfWindow(const VarModule& vars)
{
    return static_cast<double>(vars.XScale) / 2.0;
}

} // namespace

bool moveGraphWindow(VarModule& vars, NavigationButton button)
{
    const std::int32_t d = vars.DataCount;
    const std::int32_t s = vars.XScale;
    const double h = halfWindow(vars);
    if (d == 0)
        return false;

    switch (button) {
    case NavigationButton::First:
        if (d < s)
            return false;
        vars.GraphBrowsing = true;
        vars.GraphStart = 1;
        vars.GraphPointCount = s;
        return true;
    case NavigationButton::Left:
        vars.GraphBrowsing = true;
        if (h + 1.0 > vars.GraphStart) {
            vars.GraphStart = 1;
            vars.GraphPointCount = std::min(s, d);
        } else {
            vars.GraphStart = roundPosition(vars.GraphStart - h);
            vars.GraphPointCount = pointsFromStart(vars);
        }
        return true;
    case NavigationButton::Centre:
        vars.GraphBrowsing = false;
        vars.GraphPointCount = 0;
        vars.GraphStart = d + 1;
        return true;
    case NavigationButton::Right:
        if (static_cast<std::int64_t>(d) <= static_cast<std::int64_t>(vars.GraphStart) + s - 1)
            return false;
        vars.GraphBrowsing = true;
        vars.GraphStart = roundPosition(vars.GraphStart + h);
        vars.GraphPointCount = pointsFromStart(vars);
        return true;
    case NavigationButton::End:
        vars.GraphBrowsing = true;
        vars.GraphStart = d > s ? d - s + 1 : 1;
        vars.GraphPointCount = pointsFromStart(vars);
        return true;
    }
    return false;
}

void rebuildGraphWindow(VarModule& vars)
{
    const std::int32_t count = std::min(vars.GraphPointCount, kMaxGraphPoints);
    for (std::int32_t i = 1; i <= count; ++i) {
        GraphPoint& point = vars.GraphPoints[static_cast<std::size_t>(i - 1)];
        point.PointNo = vars.GraphStart + i - 1;
        point.PointX = pointX(i, vars.XStep);
        const DataRecord* record = pointRecord(vars, point);
        point.PointY = pointY(record != nullptr ? record->Value : std::nan(""), vars.YScale);
    }
}

} // namespace clampmeter
