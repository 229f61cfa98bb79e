// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "graph/graph_scales.h"
#include "shared/page_printer.h"
#include "shared/var_module.h"

#include <array>
#include <string>
#include <string_view>

namespace clampmeter {

/// The captions of the graph window's labels at the moment of printing.
struct GraphCaptions {
    std::array<std::string, kYLabels> yLabels; ///< Y_Label(0) … Y_Label(12)
    std::array<std::string, 3> xLabels; ///< X_Label1, X_Label2, X_Label3
    std::string label1 = "X";
    std::string label2 = "Y";
};

/// Window units (the graph window's own measure of its controls) to twips on the page:
/// 15 × u + 2500 across, 15 × v + 1000 down, in floating point.
double paperX(double u);
double paperY(double v);

/// The graph printout: one landscape A4 page with the title "KR-610 Graph Report",
/// `dateTime` (date, one space, time), the labels' captions from their controls' left edges,
/// the dotted centre line, the dotted grid while CrossOn, the frame of the plot box and the
/// curve with a filled dot of radius 30 twips on every point, all in black. The curve, dots
/// included, is cut at the plot's frame; lines towards points far off the page are cut at
/// its edge.
/// False when the printer failed.
bool printGraph(const VarModule& vars, const GraphCaptions& captions, PagePrinter& printer,
    std::string_view dateTime);

} // namespace clampmeter
