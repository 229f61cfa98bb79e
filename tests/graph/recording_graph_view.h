// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "graph/graph_view.h"
#include "graph/plot_window.h"
#include "shared/var_module.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clampmeter {

/// A graph window without a window: it keeps what it was told to show, starting from the
/// design captions, and logs every call by name so that a test can see what was left alone.
class RecordingGraphView final : public GraphView {
public:
    void setXLabels(const XLabelTexts& texts) override
    {
        calls.emplace_back("setXLabels");
        xLabels = texts;
    }
    void setYLabel(int k, std::string_view caption) override
    {
        calls.emplace_back("setYLabel");
        yLabels.at(static_cast<std::size_t>(k)) = caption;
    }
    void clearAndRedraw() override
    {
        calls.emplace_back("clearAndRedraw");
        ++redraws;
    }
    void drawNewestPoint() override
    {
        calls.emplace_back("drawNewestPoint");
        ++redraws;
    }
    void showNewestMarker(const PointMarker& marker) override
    {
        calls.emplace_back("showNewestMarker");
        newest = marker;
    }
    void hideNewestMarker() override
    {
        calls.emplace_back("hideNewestMarker");
        newest.reset();
    }
    void showReadout(const PointMarker& marker) override
    {
        calls.emplace_back("showReadout");
        readout = marker;
    }
    void hideReadout() override
    {
        calls.emplace_back("hideReadout");
        readout.reset();
    }

    XLabelTexts xLabels {"1", "51", "100"};
    std::array<std::string, kYLabels> yLabels {
        "0", "50", "100", "150", "200", "250", "300", "350", "400", "450", "500", "550", "600"};
    int redraws = 0;
    std::optional<PointMarker> newest; ///< shown newest-reading marker, empty while hidden
    std::optional<PointMarker> readout; ///< shown cursor readout, empty while hidden
    std::vector<std::string> calls;
};

/// A graph window over the shared state at its start values, with a capture step that
/// stores a reading the way the link does and then runs the live update.
class GraphWindowTest : public testing::Test {
protected:
    GraphWindowTest() { vars.setStartValues(); }

    /// Appends a record without telling the graph (a reading that arrives while the test
    /// drives the window by hand).
    DataRecord& store(double value, const std::string& dataText = "")
    {
        ++vars.DataCount;
        DataRecord& r = vars.DataRecords[static_cast<std::size_t>(vars.DataCount - 1)];
        r.No = vars.DataCount;
        r.Value = value;
        r.DataText = dataText.empty() ? "#" + std::to_string(vars.DataCount) : dataText;
        r.UnitText = "v";
        r.FunText = "FUN_VAC";
        r.StampText = "01/05/24\\14:03:" + std::to_string(vars.DataCount);
        return r;
    }

    /// What the capture step does for every accepted frame.
    void capture(double value, const std::string& dataText = "")
    {
        store(value, dataText);
        window.LiveGraphUpdate();
    }

    /// The store's side of the list window's clear: the count goes, the records stay. The
    /// graph is not told, so the rules meet points of records beyond the count.
    void clearList() { vars.DataCount = 0; }
    /// The list window's whole clear: the store's count, then the graph.
    void clearListAndGraph()
    {
        clearList();
        window.listCleared();
    }

    const GraphPoint& point(int i) const
    {
        return vars.GraphPoints[static_cast<std::size_t>(i - 1)];
    }

    VarModule vars;
    RecordingGraphView view;
    PlotWindow window {vars, view};
};

} // namespace clampmeter
