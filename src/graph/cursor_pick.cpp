// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/cursor_pick.h"

#include <algorithm>
#include <cmath>

namespace clampmeter {
namespace {

double xOf(const VarModule& vars, std::int32_t i)
{
    return vars.GraphPoints[static_cast<std::size_t>(i - 1)].PointX;
}

std::int32_t nearestPoint(const VarModule& vars, std::int32_t count, double X)
{
    std::int32_t nearest = 1;
    double best = std::abs(X - xOf(vars, 1));
    for (std::int32_t i = 2; i <= count; ++i) {
        const double distance = std::abs(X - xOf(vars, i));
        if (distance <= best) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

} // namespace

std::int32_t pickGraphPoint(const VarModule& vars, double X)
{
    const std::int32_t count = std::clamp(vars.GraphPointCount, 1, kMaxGraphPoints);
    if (X < xOf(vars, 1))
        return 1;
    if (X > xOf(vars, count))
        return count;

    std::int32_t chosen = 0;
    for (std::int32_t i = 1; i <= count; ++i) {
        const double offset = X - xOf(vars, i);
        if (offset >= 0.0 && offset < vars.XStep)
            chosen = i;
    }
    return chosen != 0 ? chosen : nearestPoint(vars, count, X);
}

} // namespace clampmeter
