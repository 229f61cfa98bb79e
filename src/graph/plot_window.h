// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "graph/graph_navigation.h"
#include "graph/graph_view.h"
#include "link/live_views.h"
#include "shared/var_module.h"

#include <optional>
#include <string_view>

namespace clampmeter {

/// The graph state of an empty page at record 1 that follows new readings: what clearing
/// the list leaves, also before the graph window exists.
void emptyGraph(VarModule& vars);

/// The graph window's rules: the window of records it plots, following new readings page
/// by page or browsing history, its scales and axis labels, the grid switch and the cursor
/// readout. It works on the shared graph state and tells a GraphView what to show.
class PlotWindow final : public GraphLiveUpdate {
public:
    PlotWindow(VarModule& vars, GraphView& view);

    /// Run for every stored record. While following, the newest record joins the current
    /// page (or starts a new one when the page is full), the newest-reading marker moves to
    /// it and the plot is redrawn. While browsing, the marker is hidden and nothing else
    /// changes.
    ///
    /// Whatever moves the plotted points (a scale, navigation, a new page, a clear) leaves
    /// the marker on the newest point while the plot follows, and hidden while it does not,
    /// and the readout on the point now under the pointer, hidden when there is none.
    void LiveGraphUpdate() override;

    /// An item of X_Combo was chosen: points per window; labels, x positions, redraw.
    void chooseXScale(std::string_view item);
    /// An item of Y_Combo was chosen: full scale; tick labels, y positions, redraw.
    void chooseYScale(std::string_view item);
    /// "Cross" switched: the grid is drawn while `checked`.
    void switchGrid(bool checked);
    /// A navigation button was clicked.
    void navigate(NavigationButton button);

    /// The pointer moved to (X, Y) in plot units over a plot box W × H units inside: the
    /// readout follows the point under it, and hides when the pointer is outside or no
    /// point is plotted.
    void mouseMove(double X, double Y, double W, double H);
    /// The pointer left the plot box: the readout hides.
    void pointerLeft();

    /// The list was cleared: an empty page at record 1, following new readings, with no
    /// marker and no readout over it.
    void listCleared();

private:
    /// Where the pointer is over the plot box, while it is inside.
    struct PointerPlace {
        double x = 0.0;
        double width = 0.0;
    };

    void refreshReadout();
    void placeNewestMarker();
    /// Marker and readout placed again, then the plot redrawn.
    void redrawMoved();
    PointMarker markerFor(const GraphPoint& point, const DataRecord& record, double W) const;

    VarModule& m_vars;
    GraphView& m_view;
    std::optional<PointerPlace> m_pointer;
};

} // namespace clampmeter
