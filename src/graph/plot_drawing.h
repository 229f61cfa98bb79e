// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/var_module.h"

#include <optional>
#include <vector>

namespace clampmeter {

/// A straight line in plot units.
struct PlotLine {
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;

    bool operator==(const PlotLine&) const = default;
};

/// The centre of a dot in plot units.
struct PlotDot {
    double x = 0.0;
    double y = 0.0;

    bool operator==(const PlotDot&) const = default;
};

/// What Picture1_Paint draws, in plot units, layer by layer (later lies on top):
/// 1. `ticks`: solid black, 100 marks along the bottom edge, whatever the X scale;
/// 2. `grid`: dotted black horizontal lines, only while CrossOn;
/// 3. `centreLine`: dotted black, always;
/// 4. the curve in red: `segments` from each point to the one before it, and a filled dot
///    of radius 2 on every point. The curve is one colour, so drawing all its segments
///    before all its dots, and each dot once, gives the very picture of drawing them point
///    by point with every inner dot twice.
/// Segments are clipped to the plot box and dots that cannot touch it are left out, so
/// every coordinate lies within a few units of the box however far off a point is.
struct PlotDrawing {
    std::vector<PlotLine> ticks;
    std::vector<PlotLine> grid;
    PlotLine centreLine;
    std::vector<PlotLine> segments;
    std::vector<PlotDot> dots;
};

/// The drawing of the current graph state. `drawing` is filled anew; its storage is reused,
/// so a window that redraws on every reading allocates nothing once it has drawn a full
/// page.
void planPlot(const VarModule& vars, PlotDrawing& drawing);

/// What the newest point (GraphPointCount) adds to the drawing of the points before it: its
/// segment to the point before, clipped, and its dot when it can touch the box. `addition`
/// holds only segments and dots.
void planNewestPoint(const VarModule& vars, PlotDrawing& addition);

/// The part of a segment inside the plot box (0 … 605 × 0 … 543), or nothing when it misses
/// the box. Computed in double, so points clamped at the limits of 32 bits clip exactly.
std::optional<PlotLine> clipToPlotBox(const PlotLine& line);

/// The same for the rectangle from (0, 0) to (width, height), in any unit.
std::optional<PlotLine> clipToRectangle(const PlotLine& line, double width, double height);

} // namespace clampmeter
