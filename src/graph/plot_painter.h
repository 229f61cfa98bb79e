// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "graph/plot_drawing.h"

#include <QPointF>
#include <QRect>
#include <QSize>

class QPainter;

namespace clampmeter {

/// Paints the plot box: its light grey background, its one-pixel border and a plot drawing
/// in plot units mapped onto the inside of the border. `boxSize` is the whole box in
/// logical pixels (611 × 545 as designed).
void paintPlotBox(QPainter& painter, const PlotDrawing& drawing, QSize boxSize);

/// Paints the curve of `addition` (its segments, then its dots) over a plot box already
/// painted, exactly as `paintPlotBox` paints those of a whole drawing: the curve is one
/// colour without smoothing, so a point added this way gives the very pixels of a box
/// painted anew with it. Returns the part of the box it may have changed.
QRect paintCurveAddition(QPainter& painter, const PlotDrawing& addition, QSize boxSize);

/// Where a point in plot units lands in a box of `boxSize` logical pixels, border included.
QPointF plotToPixels(double x, double y, QSize boxSize);

/// The point in plot units under a pixel position of a box of `boxSize` logical pixels.
QPointF pixelsToPlot(QPointF position, QSize boxSize);

} // namespace clampmeter
