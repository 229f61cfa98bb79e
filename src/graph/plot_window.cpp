// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/plot_window.h"

#include "graph/cursor_pick.h"
#include "graph/plot_geometry.h"
#include "graph/plot_position.h"

#include <algorithm>

namespace clampmeter {

PlotWindow::PlotWindow(VarModule& vars, GraphView& view)
    : m_vars(vars)
    , m_view(view)
{
}

void PlotWindow::LiveGraphUpdate()
{
    if (m_vars.GraphBrowsing) {
        m_view.hideNewestMarker();
        return;
    }
    if (m_vars.DataCount < 1)
        return;

    bool newPage = false;
    if (m_vars.GraphPointCount < m_vars.XScale && m_vars.GraphPointCount >= 0) {
        ++m_vars.GraphPointCount;
    } else {
        m_vars.GraphPointCount = 1;
        m_vars.GraphStart = m_vars.DataCount;
        m_view.setXLabels(xLabelTexts(m_vars.GraphStart, m_vars.XScale));
        newPage = true;
    }

    const std::int32_t n = m_vars.GraphPointCount;
    const DataRecord& record = m_vars.DataRecords[static_cast<std::size_t>(m_vars.DataCount - 1)];
    GraphPoint& point = m_vars.GraphPoints[static_cast<std::size_t>(n - 1)];
    point.PointX = pointX(n, m_vars.XStep);
    point.PointY = pointY(record.Value, m_vars.YScale);
    point.PointNo = m_vars.DataCount;

    m_view.showNewestMarker(markerFor(point, record, kPlotWidth));
    if (newPage) {
        refreshReadout(); // the points under the pointer were replaced
        m_view.clearAndRedraw();
    } else {
        m_view.drawNewestPoint();
    }
}

void PlotWindow::chooseXScale(std::string_view item)
{
    const std::int32_t scale = scaleOfItem(item);
    if (scale <= 0 || scale > kMaxGraphPoints)
        return;
    m_vars.XScale = scale;
    m_view.setXLabels(xLabelTexts(m_vars.GraphStart, m_vars.XScale));
    m_vars.XStep = xStepFor(m_vars.XScale);
    const std::int32_t count = std::min(m_vars.GraphPointCount, kMaxGraphPoints);
    for (std::int32_t i = 1; i <= count; ++i)
        m_vars.GraphPoints[static_cast<std::size_t>(i - 1)].PointX = pointX(i, m_vars.XStep);
    redrawMoved();
}

void PlotWindow::chooseYScale(std::string_view item)
{
    const std::int32_t scale = scaleOfItem(item);
    if (scale <= 0)
        return;
    m_vars.YScale = scale;
    for (int k = 1; k < kYLabels; ++k)
        m_view.setYLabel(k, yLabelText(k, m_vars.YScale));
    const std::int32_t count = std::min(m_vars.GraphPointCount, kMaxGraphPoints);
    for (std::int32_t i = 1; i <= count; ++i) {
        GraphPoint& point = m_vars.GraphPoints[static_cast<std::size_t>(i - 1)];
        // Records past DataCount after a clear are stale but still in the store: read them.
        if (const DataRecord* record = pointRecord(m_vars, point))
            point.PointY = pointY(record->Value, m_vars.YScale);
    }
    redrawMoved();
}

void PlotWindow::switchGrid(bool checked)
{
    m_vars.CrossOn = checked;
    m_view.clearAndRedraw();
}

void PlotWindow::navigate(NavigationButton button)
{
    if (!moveGraphWindow(m_vars, button))
        return;
    m_view.setXLabels(xLabelTexts(m_vars.GraphStart, m_vars.XScale));
    if (button != NavigationButton::Centre)
        rebuildGraphWindow(m_vars);
    redrawMoved();
}

void PlotWindow::mouseMove(double X, double Y, double W, double H)
{
    if (!(X >= 0.0 && X <= W && Y >= 0.0 && Y <= H)) {
        m_pointer.reset();
        m_view.hideReadout();
        return;
    }
    m_pointer = PointerPlace {X, W};
    refreshReadout();
}

void PlotWindow::pointerLeft()
{
    m_pointer.reset();
    m_view.hideReadout();
}

void PlotWindow::refreshReadout()
{
    if (!m_pointer)
        return; // hidden since the pointer left
    if (m_vars.DataCount < 1 || m_vars.GraphPointCount < 1) {
        m_view.hideReadout();
        return;
    }
    const GraphPoint& point
        = m_vars.GraphPoints[static_cast<std::size_t>(pickGraphPoint(m_vars, m_pointer->x) - 1)];
    const DataRecord* record = pointRecord(m_vars, point);
    if (record == nullptr) {
        m_view.hideReadout();
        return;
    }
    m_view.showReadout(markerFor(point, *record, m_pointer->width));
}

void PlotWindow::placeNewestMarker()
{
    const std::int32_t count = m_vars.GraphPointCount;
    if (m_vars.GraphBrowsing || count < 1 || count > kMaxGraphPoints) {
        m_view.hideNewestMarker();
        return;
    }
    const GraphPoint& point = m_vars.GraphPoints[static_cast<std::size_t>(count - 1)];
    const DataRecord* record = pointRecord(m_vars, point);
    if (record == nullptr) {
        m_view.hideNewestMarker();
        return;
    }
    m_view.showNewestMarker(markerFor(point, *record, kPlotWidth));
}

void PlotWindow::redrawMoved()
{
    placeNewestMarker();
    refreshReadout();
    m_view.clearAndRedraw();
}

void emptyGraph(VarModule& vars)
{
    vars.GraphPointCount = 0;
    vars.GraphStart = 1;
    vars.GraphBrowsing = false;
}

void PlotWindow::listCleared()
{
    emptyGraph(m_vars);
    m_view.setXLabels(xLabelTexts(m_vars.GraphStart, m_vars.XScale));
    redrawMoved();
}

PointMarker PlotWindow::markerFor(const GraphPoint& point, const DataRecord& record, double W) const
{
    PointMarker marker;
    marker.lineX = point.PointX;
    marker.lineY = point.PointY;
    marker.label = placeBesidePoint(point, W);
    marker.reading.reserve(record.DataText.size() + 1 + record.UnitText.size());
    marker.reading.append(record.DataText).append(" ").append(record.UnitText);
    marker.funText = record.FunText;
    marker.stampText = record.StampText;
    return marker;
}

} // namespace clampmeter
