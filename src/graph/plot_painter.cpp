// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/plot_painter.h"

#include "graph/plot_geometry.h"

#include <QPainter>
#include <QPen>
#include <QVarLengthArray>

namespace clampmeter {
namespace {

const QColor kBackground(192, 192, 192);
const QColor kBorder(0, 0, 0);
const QColor kRed(255, 0, 0);
constexpr int kBorderWidth = 1;

QSizeF innerSize(QSize boxSize)
{
    return {static_cast<qreal>(boxSize.width() - 2 * kBorderWidth),
        static_cast<qreal>(boxSize.height() - 2 * kBorderWidth)};
}

QPen linePen(const QColor& colour, Qt::PenStyle style)
{
    QPen pen(colour, 1);
    pen.setCosmetic(true);
    pen.setCapStyle(Qt::FlatCap);
    if (style == Qt::DotLine)
        pen.setDashPattern({1.0, 1.0});
    return pen;
}

template <typename Lines> void drawLines(QPainter& painter, const Lines& lines)
{
    QVarLengthArray<QLineF, 128> batch;
    for (const PlotLine& line : lines)
        batch.append(QLineF(line.x1, line.y1, line.x2, line.y2));
    painter.drawLines(batch.constData(), static_cast<int>(batch.size()));
}

} // namespace

QPointF plotToPixels(double x, double y, QSize boxSize)
{
    const QSizeF inner = innerSize(boxSize);
    return {kBorderWidth + x * inner.width() / kPlotWidth,
        kBorderWidth + y * inner.height() / kPlotHeight};
}

QPointF pixelsToPlot(QPointF position, QSize boxSize)
{
    const QSizeF inner = innerSize(boxSize);
    return {(position.x() - kBorderWidth) * kPlotWidth / inner.width(),
        (position.y() - kBorderWidth) * kPlotHeight / inner.height()};
}

void paintPlotBox(QPainter& painter, const PlotDrawing& drawing, QSize boxSize)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(QPoint(0, 0), boxSize), kBorder);
    const QSizeF inner = innerSize(boxSize);
    const QRectF plotArea(QPointF(kBorderWidth, kBorderWidth), inner);
    painter.fillRect(plotArea, kBackground);
    painter.setClipRect(plotArea);
    painter.translate(kBorderWidth, kBorderWidth);
    painter.scale(inner.width() / kPlotWidth, inner.height() / kPlotHeight);

    painter.setPen(linePen(Qt::black, Qt::SolidLine));
    drawLines(painter, drawing.ticks);
    painter.setPen(linePen(Qt::black, Qt::DotLine));
    drawLines(painter, drawing.grid);
    drawLines(painter, std::initializer_list<PlotLine> {drawing.centreLine});

    painter.setPen(linePen(kRed, Qt::SolidLine));
    drawLines(painter, drawing.segments);
    painter.setBrush(kRed);
    for (const PlotDot& dot : drawing.dots)
        painter.drawEllipse(QPointF(dot.x, dot.y), kDotRadius, kDotRadius);
    painter.restore();
}

} // namespace clampmeter
