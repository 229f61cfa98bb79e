// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "graph/graph_printout.h"
#include "graph/graph_view.h"
#include "graph/plot_window.h"
#include "link/live_views.h"
#include "shared/print_host.h"
#include "shared/skinned_window.h"

#include <array>

namespace clampmeter {

class AxisLabel;
class PlotBox;

/// The data graph window: the readings as a plot that follows new data page by page, the
/// scale choosers, the grid switch "Cross", five buttons for browsing history, a crosshair
/// readout of the point under the pointer and "Print". Skinned and frameless, dragged by its
/// background, hidden (never destroyed) by its close picture; the capture step updates it
/// whether it is shown or not.
class Frm_Graph final : public SkinnedWindow, public GraphLiveUpdate, private GraphView {
    Q_OBJECT

public:
    Frm_Graph(VarModule& vars, PrintHost& host, QWidget* parent = nullptr);
    ~Frm_Graph() override;

    /// The Graph command: shows the window with its top-left corner at `topLeft` and draws
    /// the plot.
    void showAt(QPoint topLeft);
    /// Draws the plot from the graph state.
    void Picture1_Paint();

    /// "Print": the graph printout of what the window shows, then the link resynchronised.
    void Command1_Click();
    /// The captions of the axis labels as they stand.
    GraphCaptions captions() const;

    /// The rules behind the window, for the handlers and the tests.
    PlotWindow& plotWindow() { return m_plot; }

    // GraphLiveUpdate
    void LiveGraphUpdate() override;

private:
    // GraphView
    void setXLabels(const XLabelTexts& texts) override;
    void setYLabel(int k, std::string_view caption) override;
    void clearAndRedraw() override;
    void drawNewestPoint() override;
    void showNewestMarker(const PointMarker& marker) override;
    void hideNewestMarker() override;
    void showReadout(const PointMarker& marker) override;
    void hideReadout() override;

    void buildControls();
    void buildScaleChoosers();
    void buildNavigation();
    void buildAxisLabels();

    VarModule& m_vars;
    PrintHost& m_host;
    PlotWindow m_plot;

    PlotBox* m_plotBox = nullptr;
    std::array<AxisLabel*, 3> m_xLabels {};
    std::array<AxisLabel*, 13> m_yLabels {};
    AxisLabel* m_label1 = nullptr; // "X"
    AxisLabel* m_label2 = nullptr; // "Y"
};

} // namespace clampmeter
