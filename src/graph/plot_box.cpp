// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/plot_box.h"

#include "graph/plot_painter.h"
#include "shared/twips.h"
#include "shared/value_label.h"
#include "shared/widget_helpers.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace clampmeter {
namespace {

constexpr int kBorder = 1;
constexpr double kFarOff = 10000.0; // pixels beyond any screen, well within an int

/// A line item of a marker: a thin bar in a fixed colour that the pointer passes through.
QWidget* addLine(const char* name, const QColor& colour, const QRect& geometry, QWidget* parent)
{
    auto* line = new QWidget(parent);
    line->setObjectName(QString::fromLatin1(name));
    setBackgroundColour(line, colour);
    line->setGeometry(geometry);
    line->setAttribute(Qt::WA_TransparentForMouseEvents);
    line->hide();
    return line;
}

/// Lines span the whole box across the direction they never move in, centred on their
/// designed place (twips inside the border).
QRect verticalLine(int xTwips, int thickness)
{
    return {
        kBorder + twipsToPixels(xTwips) - thickness / 2, kBorder, thickness, twipsToPixels(8160)};
}

QRect horizontalLine(int yTwips, int thickness)
{
    return {
        kBorder, kBorder + twipsToPixels(yTwips) - thickness / 2, twipsToPixels(9120), thickness};
}

struct LabelSpec {
    const char* name;
    int left, top, width, height; // twips inside the border
    QColor colour;
    bool bold; // MS Sans Serif 8.25 pt bold, opaque on the system's window colour
    const char* accessibleName;
};

ValueLabel* addLabel(const LabelSpec& spec, QWidget* parent)
{
    auto* label = new ValueLabel(QString(), parent);
    label->setObjectName(QString::fromLatin1(spec.name));
    label->setGeometry(
        twipRect(spec.left, spec.top, spec.width, spec.height).translated(kBorder, kBorder));
    label->setFont(designFont("MS Sans Serif", 8.25, spec.bold ? QFont::Bold : QFont::Normal));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(label, spec.colour);
    // The opaque labels keep the system's window colour behind them.
    label->setAutoFillBackground(spec.bold);
    label->setAccessibleName(QString::fromLatin1(spec.accessibleName));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->hide();
    return label;
}

const QColor kDarkBlue(0, 0, 192);
const QColor kBlue(0, 0, 255);
const QColor kYellow(255, 255, 0);
const QColor kLightYellow(255, 255, 128);
const QColor kOlive(192, 192, 0);

} // namespace

PlotBox::PlotBox(const VarModule& vars, QWidget* parent)
    : QWidget(parent)
    , m_vars(vars)
{
    setObjectName(QStringLiteral("Picture1"));
    setAccessibleName(QStringLiteral("Graph of readings"));
    setCursor(Qt::CrossCursor);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    buildMarkers();
}

void PlotBox::buildMarkers()
{
    // Lines first, so the labels lie on top of them.
    MarkerItems& readout = m_markers[static_cast<std::size_t>(Marker::Readout)];
    MarkerItems& newest = m_markers[static_cast<std::size_t>(Marker::Newest)];
    readout.thickness = 3;
    readout.vertical = addLine("Line1", kDarkBlue, verticalLine(4560, 3), this);
    readout.horizontal = addLine("Line2", kDarkBlue, horizontalLine(3600, 3), this);
    newest.vertical = addLine("Line3", kYellow, verticalLine(2880, 1), this);
    newest.horizontal = addLine("Line4", kLightYellow, horizontalLine(2040, 1), this);

    const LabelSpec labels[] = {
        {"Fun_Label", 0, 0, 3165, 390, kBlue, false, "Function under the pointer"},
        {"Time_Label", 0, 360, 3165, 390, kBlue, false, "Time under the pointer"},
        {"Fun_Label2", 5760, 0, 3165, 390, kYellow, false, "Function of the newest reading"},
        {"Time_Label2", 5760, 360, 3165, 390, kYellow, false, "Time of the newest reading"},
        {"Data_Label", 4920, 3000, 1485, 390, kDarkBlue, true, "Reading under the pointer"},
        {"Showing_Label", 3000, 1440, 1485, 390, kOlive, true, "Newest reading"},
    };
    readout.function = addLabel(labels[0], this);
    readout.time = addLabel(labels[1], this);
    newest.function = addLabel(labels[2], this);
    newest.time = addLabel(labels[3], this);
    readout.reading = addLabel(labels[4], this);
    newest.reading = addLabel(labels[5], this);
}

std::array<QWidget*, 5> PlotBox::MarkerItems::all() const
{
    return {vertical, horizontal, reading, function, time};
}

void PlotBox::redraw()
{
    m_pictureValid = false;
    update();
}

void PlotBox::addNewestPoint()
{
    if (!isVisible() || !pictureFits() || m_pictureHolds + 1 != m_vars.GraphPointCount) {
        redraw();
        return;
    }
    planNewestPoint(m_vars, m_drawing);
    QPainter painter(&m_picture);
    const QRect changed = paintCurveAddition(painter, m_drawing, size());
    m_pictureHolds = m_vars.GraphPointCount;
    update(changed);
}

bool PlotBox::pictureFits() const
{
    return m_pictureValid && m_picture.devicePixelRatio() == devicePixelRatioF()
        && m_picture.deviceIndependentSize().toSize() == size();
}

void PlotBox::paintPicture()
{
    const qreal ratio = devicePixelRatioF();
    if (m_picture.size() != size() * ratio)
        m_picture = QPixmap(size() * ratio);
    m_picture.setDevicePixelRatio(ratio);
    planPlot(m_vars, m_drawing);
    QPainter painter(&m_picture);
    paintPlotBox(painter, m_drawing, size());
    m_pictureValid = true;
    m_pictureHolds = std::min(m_vars.GraphPointCount, kMaxGraphPoints);
}

void PlotBox::showMarker(Marker which, const PointMarker& marker)
{
    const MarkerItems& items = m_markers[static_cast<std::size_t>(which)];
    const QPoint point = toPixels(marker.lineX, marker.lineY);
    const int half = items.thickness / 2;
    items.vertical->move(point.x() - half, items.vertical->y());
    items.horizontal->move(items.horizontal->x(), point.y() - half);
    items.reading->move(toPixels(marker.label.left, marker.label.top));

    items.reading->showValue(qText(marker.reading));
    items.function->showValue(qText(marker.funText));
    items.time->showValue(qText(marker.stampText));
    for (QWidget* item : items.all())
        item->show();
}

void PlotBox::hideMarker(Marker which)
{
    const MarkerItems& items = m_markers[static_cast<std::size_t>(which)];
    for (QWidget* item : items.all())
        item->hide();
}

QPoint PlotBox::toPixels(double x, double y) const
{
    const QPointF exact = plotToPixels(x, y, size());
    return {static_cast<int>(std::lround(std::clamp(exact.x(), -kFarOff, kFarOff))),
        static_cast<int>(std::lround(std::clamp(exact.y(), -kFarOff, kFarOff)))};
}

void PlotBox::paintEvent(QPaintEvent* event)
{
    if (!pictureFits())
        paintPicture();
    const QRect area = event->rect();
    const qreal ratio = m_picture.devicePixelRatio();
    QPainter(this).drawPixmap(
        area, m_picture, QRectF(area.topLeft() * ratio, area.size() * ratio).toAlignedRect());
}

void PlotBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF plot = pixelsToPlot(event->position(), size());
    emit pointerMoved(plot.x(), plot.y());
}

void PlotBox::mousePressEvent(QMouseEvent* event)
{
    // A press on the plot never drags the window.
    event->accept();
}

void PlotBox::leaveEvent(QEvent*)
{
    emit pointerLeft();
}

} // namespace clampmeter
