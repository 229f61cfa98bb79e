// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "graph/graph_scales.h"
#include "graph/plot_position.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace clampmeter {

/// A crosshair through one plotted point with its record read out: the newest-reading
/// marker (Line3, Line4, Showing_Label, Fun_Label2, Time_Label2) or the cursor readout
/// (Line1, Line2, Data_Label, Fun_Label, Time_Label). Positions in plot units.
struct PointMarker {
    std::int32_t lineX = 0; ///< x of the vertical line
    std::int32_t lineY = 0; ///< y of the horizontal line
    LabelPlace label; ///< top-left corner of the reading's label
    std::string reading; ///< DataText, one space, UnitText
    std::string funText;
    std::string stampText;
};

/// What the graph window's rules change on the window.
class GraphView {
public:
    GraphView() = default;
    GraphView(const GraphView&) = delete;
    GraphView& operator=(const GraphView&) = delete;
    virtual ~GraphView() = default;

    /// X_Label1, X_Label2, X_Label3.
    virtual void setXLabels(const XLabelTexts& texts) = 0;
    /// Caption of Y_Label(k), k 1 … 12.
    virtual void setYLabel(int k, std::string_view caption) = 0;
    /// Erases the plot box and draws the plot again from the graph state. The markers and
    /// the readout are not part of the drawing and stay as they are.
    virtual void clearAndRedraw() = 0;
    /// The newest point joined the page and nothing else changed: draws its segment and
    /// dot onto the plot as it stands (a view may redraw in full instead).
    virtual void drawNewestPoint() = 0;

    virtual void showNewestMarker(const PointMarker& marker) = 0;
    virtual void hideNewestMarker() = 0;
    virtual void showReadout(const PointMarker& marker) = 0;
    virtual void hideReadout() = 0;
};

} // namespace clampmeter
