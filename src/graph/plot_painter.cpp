// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/plot_painter.h"

#include "graph/plot_geometry.h"

#include <QPainter>
#include <QPen>
#include <QVarLengthArray>

#include <cmath>

namespace clampmeter {
namespace {

const QColor kBackground(192, 192, 192);
const QColor kBorder(0, 0, 0);
const QColor kRed(255, 0, 0);
constexpr int kBorderWidth = 1;
constexpr int kStampRadius = 3; // whole pixels around a dot's centre pixel
constexpr int kStampSide = 2 * kStampRadius + 2;

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

/// One dot of the curve as the painter draws a filled circle of radius 2 around a pixel's
/// centre, ready to be stamped: a thousand stamps cost a fraction of a thousand circles.
QImage dotStamp(qreal devicePixelRatio)
{
    QImage stamp(
        QSize(kStampSide, kStampSide) * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    stamp.setDevicePixelRatio(devicePixelRatio);
    stamp.fill(Qt::transparent);
    QPainter painter(&stamp);
    painter.setPen(kRed);
    painter.setBrush(kRed);
    painter.drawEllipse(QPointF(kStampRadius + 0.5, kStampRadius + 0.5), kDotRadius, kDotRadius);
    return stamp;
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

namespace {

/// Where a dot's stamp goes: the corner of its centre pixel less the stamp's radius.
QPointF stampCorner(const PlotDot& dot, QSize boxSize)
{
    const QPointF centre = plotToPixels(dot.x, dot.y, boxSize);
    return {std::floor(centre.x()) - kStampRadius, std::floor(centre.y()) - kStampRadius};
}

/// The red curve: segments first, then the dots on top, in plot units mapped into the box.
void paintCurve(QPainter& painter, const PlotDrawing& drawing, QSize boxSize)
{
    const QSizeF inner = innerSize(boxSize);
    painter.save();
    painter.setClipRect(QRectF(QPointF(kBorderWidth, kBorderWidth), inner));
    painter.translate(kBorderWidth, kBorderWidth);
    painter.scale(inner.width() / kPlotWidth, inner.height() / kPlotHeight);
    painter.setPen(linePen(kRed, Qt::SolidLine));
    drawLines(painter, drawing.segments);
    painter.resetTransform();
    const QImage stamp = dotStamp(painter.device()->devicePixelRatioF());
    for (const PlotDot& dot : drawing.dots)
        painter.drawImage(stampCorner(dot, boxSize), stamp);
    painter.restore();
}

} // namespace

void paintPlotBox(QPainter& painter, const PlotDrawing& drawing, QSize boxSize)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QSizeF inner = innerSize(boxSize);
    const QRectF plotArea(QPointF(kBorderWidth, kBorderWidth), inner);
    const QRect box(QPoint(0, 0), boxSize);
    painter.fillRect(box.adjusted(0, 0, 0, -box.height() + kBorderWidth), kBorder);
    painter.fillRect(box.adjusted(0, box.height() - kBorderWidth, 0, 0), kBorder);
    painter.fillRect(box.adjusted(0, 0, -box.width() + kBorderWidth, 0), kBorder);
    painter.fillRect(box.adjusted(box.width() - kBorderWidth, 0, 0, 0), kBorder);
    painter.fillRect(plotArea, kBackground);

    painter.save();
    painter.setClipRect(plotArea);
    painter.translate(kBorderWidth, kBorderWidth);
    painter.scale(inner.width() / kPlotWidth, inner.height() / kPlotHeight);
    painter.setPen(linePen(Qt::black, Qt::SolidLine));
    drawLines(painter, drawing.ticks);
    painter.setPen(linePen(Qt::black, Qt::DotLine));
    drawLines(painter, drawing.grid);
    drawLines(painter, std::initializer_list<PlotLine> {drawing.centreLine});
    painter.restore();

    paintCurve(painter, drawing, boxSize);
    painter.restore();
}

QRect paintCurveAddition(QPainter& painter, const PlotDrawing& addition, QSize boxSize)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    paintCurve(painter, addition, boxSize);
    painter.restore();

    QRectF changed;
    for (const PlotLine& line : addition.segments) {
        const QPointF a = plotToPixels(line.x1, line.y1, boxSize);
        const QPointF b = plotToPixels(line.x2, line.y2, boxSize);
        changed |= QRectF(a, b).normalized();
    }
    QRect touched = changed.toAlignedRect().adjusted(-2, -2, 2, 2);
    for (const PlotDot& dot : addition.dots) {
        const QPoint corner = stampCorner(dot, boxSize).toPoint();
        touched |= QRect(corner, QSize(kStampSide, kStampSide));
    }
    return touched & QRect(QPoint(0, 0), boxSize);
}

} // namespace clampmeter
