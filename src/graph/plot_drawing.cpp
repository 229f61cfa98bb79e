// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/plot_drawing.h"

#include "graph/plot_geometry.h"

#include <algorithm>

namespace clampmeter {
namespace {

constexpr int kTicks = 100;
constexpr int kGridLines = 12;

PlotDot dotAt(const GraphPoint& point)
{
    return {static_cast<double>(point.PointX), static_cast<double>(point.PointY)};
}

bool touchesPlotBox(const PlotDot& dot)
{
    return dot.x >= -kDotRadius && dot.x <= kPlotWidth + kDotRadius && dot.y >= -kDotRadius
        && dot.y <= kPlotHeight + kDotRadius;
}

/// Point j's segment to the point before and its dot, as far as they can show.
void planPoint(const VarModule& vars, std::int32_t j, PlotDrawing& drawing)
{
    const PlotDot dot = dotAt(vars.GraphPoints[static_cast<std::size_t>(j - 1)]);
    if (j > 1) {
        const PlotDot before = dotAt(vars.GraphPoints[static_cast<std::size_t>(j - 2)]);
        if (auto segment = clipToPlotBox({dot.x, dot.y, before.x, before.y}))
            drawing.segments.push_back(*segment);
    }
    if (touchesPlotBox(dot))
        drawing.dots.push_back(dot);
}

void planCurve(const VarModule& vars, PlotDrawing& drawing)
{
    const std::int32_t count = std::min(vars.GraphPointCount, kMaxGraphPoints);
    for (std::int32_t j = 1; j <= count; ++j)
        planPoint(vars, j, drawing);
}

} // namespace

void planPlot(const VarModule& vars, PlotDrawing& drawing)
{
    drawing.ticks.clear();
    drawing.grid.clear();
    drawing.segments.clear();
    drawing.dots.clear();

    for (int i = 1; i <= kTicks; ++i) {
        const double x = 6.0 * i - 5.0;
        drawing.ticks.push_back({x, 540.0, x, 543.0});
    }
    if (vars.CrossOn) {
        for (int j = 0; j < kGridLines; ++j) {
            const double y = 45.0 * j + 3.0;
            drawing.grid.push_back({0.0, y, 603.0, y});
        }
    }
    drawing.centreLine = {301.0, 0.0, 301.0, kPlotHeight};
    planCurve(vars, drawing);
}

void planNewestPoint(const VarModule& vars, PlotDrawing& addition)
{
    addition.ticks.clear();
    addition.grid.clear();
    addition.segments.clear();
    addition.dots.clear();
    const std::int32_t count = vars.GraphPointCount;
    if (count >= 1 && count <= kMaxGraphPoints)
        planPoint(vars, count, addition);
}

std::optional<PlotLine> clipToPlotBox(const PlotLine& line)
{
    return clipToRectangle(line, kPlotWidth, kPlotHeight);
}

std::optional<PlotLine> clipToRectangle(const PlotLine& line, double width, double height)
{
    // Liang–Barsky: the part of the segment, as t runs from 0 to 1, inside all four edges.
    const double dx = line.x2 - line.x1;
    const double dy = line.y2 - line.y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {line.x1, width - line.x1, line.y1, height - line.y1};
    double enter = 0.0;
    double leave = 1.0;
    for (int edge = 0; edge < 4; ++edge) {
        if (p[edge] == 0.0) {
            if (q[edge] < 0.0)
                return std::nullopt;
            continue;
        }
        const double t = q[edge] / p[edge];
        if (p[edge] < 0.0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
    }
    if (enter > leave)
        return std::nullopt;
    return PlotLine {
        line.x1 + enter * dx, line.y1 + enter * dy, line.x1 + leave * dx, line.y1 + leave * dy};
}

} // namespace clampmeter
