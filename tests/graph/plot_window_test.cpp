// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/plot_window.h"

#include "graph/plot_drawing.h"
#include "graph/plot_geometry.h"
#include "recording_graph_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace clampmeter {
namespace {

constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
const double kPulledLeft = kPlotWidth - kPointLabelWidth; // 506.65

using Calls = std::vector<std::string>;

void expectLabels(
    const XLabelTexts& labels, const char* first, const char* middle, const char* last)
{
    EXPECT_EQ(labels.first, first);
    EXPECT_EQ(labels.middle, middle);
    EXPECT_EQ(labels.last, last);
}

void expectPoint(const GraphPoint& p, std::int32_t no, std::int32_t x, std::int32_t y)
{
    EXPECT_EQ(p.PointNo, no);
    EXPECT_EQ(p.PointX, x);
    EXPECT_EQ(p.PointY, y);
}

// ---- Following new readings -------------------------------------------------------------

using LiveGraphTest = GraphWindowTest;

TEST_F(LiveGraphTest, FirstReadingIsPointOneWithTheMarkerOnIt)
{
    capture(300.0, "300.0");

    EXPECT_EQ(vars.GraphPointCount, 1);
    EXPECT_EQ(vars.GraphStart, 1);
    expectPoint(point(1), 1, 1, 273);
    EXPECT_EQ(view.calls, (Calls {"showNewestMarker", "drawNewestPoint"}))
        << "the design labels 1, 51, 100 are already right";
    ASSERT_TRUE(view.newest);
    EXPECT_EQ(view.newest->lineX, 1);
    EXPECT_EQ(view.newest->lineY, 273);
    EXPECT_EQ(view.newest->label.left, 11.0);
    EXPECT_EQ(view.newest->label.top, 183.0);
    EXPECT_EQ(view.newest->reading, "300.0 v");
    EXPECT_EQ(view.newest->funText, "FUN_VAC");
    EXPECT_EQ(view.newest->stampText, "01/05/24\\14:03:1");
}

TEST_F(LiveGraphTest, ReadingsFillAPageAndTheNextOneStartsANewPage)
{
    for (int i = 1; i <= 100; ++i)
        capture(i);
    EXPECT_EQ(vars.GraphPointCount, 100);
    EXPECT_EQ(vars.GraphStart, 1);
    expectPoint(point(100), 100, 595, pointY(100, 600));
    EXPECT_EQ(view.redraws, 100);
    expectLabels(view.xLabels, "1", "51", "100");

    view.calls.clear();
    capture(101);
    EXPECT_EQ(vars.GraphPointCount, 1);
    EXPECT_EQ(vars.GraphStart, 101);
    expectLabels(view.xLabels, "101", "151", "200");
    expectPoint(point(1), 101, 1, pointY(101, 600));
    EXPECT_EQ(view.calls, (Calls {"setXLabels", "showNewestMarker", "clearAndRedraw"}));

    PlotDrawing drawing;
    planPlot(vars, drawing);
    EXPECT_TRUE(drawing.segments.empty());
    EXPECT_EQ(drawing.dots, (std::vector<PlotDot> {{1.0, static_cast<double>(pointY(101, 600))}}));

    for (int i = 102; i <= 200; ++i)
        capture(i);
    EXPECT_EQ(vars.GraphStart, 101);
    expectPoint(point(100), 200, 595, pointY(200, 600));
    expectLabels(view.xLabels, "101", "151", "200");
}

TEST_F(LiveGraphTest, HeightsFollowTheValueAtFullScale600)
{
    const struct {
        double value;
        std::int32_t y;
    } cases[] = {{600.0, 3}, {0.0, 543}, {5.0, 538}, {15.0, 530}, {300.0, 273}};
    for (const auto& c : cases) {
        capture(c.value);
        EXPECT_EQ(point(vars.GraphPointCount).PointY, c.y) << c.value;
        EXPECT_EQ(view.newest->lineY, c.y) << c.value;
    }
}

TEST_F(LiveGraphTest, MarkerLabelIsKeptInsideTheBox)
{
    capture(700.0); // above full scale: y = -87
    EXPECT_EQ(view.newest->lineY, -87);
    EXPECT_EQ(view.newest->label.top, 0.0);
    EXPECT_EQ(view.newest->label.left, 11.0);

    for (int i = 2; i <= 97; ++i)
        capture(300.0);
    EXPECT_EQ(view.newest->lineX, 577);
    EXPECT_NEAR(view.newest->label.left, kPulledLeft, 1e-9) << "not 587";
    EXPECT_NEAR(view.newest->label.left, 506.65, 0.005);
    EXPECT_EQ(view.newest->label.top, 183.0);
}

TEST_F(LiveGraphTest, WhileBrowsingAReadingOnlyHidesTheMarker)
{
    for (int i = 1; i <= 30; ++i)
        capture(i);
    window.navigate(NavigationButton::End);
    ASSERT_TRUE(vars.GraphBrowsing);
    const GraphPoint before = point(30);
    view.calls.clear();

    capture(31.0);
    capture(32.0);

    EXPECT_EQ(view.calls, (Calls {"hideNewestMarker", "hideNewestMarker"}))
        << "no redraw, no label change";
    EXPECT_FALSE(view.newest);
    EXPECT_EQ(vars.DataCount, 32);
    EXPECT_EQ(vars.GraphPointCount, 30);
    EXPECT_EQ(vars.GraphStart, 1);
    expectPoint(point(30), before.PointNo, before.PointX, before.PointY);
    EXPECT_EQ(point(31).PointNo, 0) << "the entry after the window stays untouched";
}

TEST_F(LiveGraphTest, AClearLeavesAnEmptyPageAndReadingsAfterItStartAtRecordOne)
{
    for (int i = 1; i <= 160; ++i)
        capture(1000.0 + i, "old");
    window.navigate(NavigationButton::First);
    window.mouseMove(10.0, 100.0, kPlotWidth, kPlotHeight);
    ASSERT_TRUE(vars.GraphBrowsing);
    ASSERT_TRUE(view.readout);
    view.calls.clear();

    clearListAndGraph();
    EXPECT_EQ(vars.GraphPointCount, 0);
    EXPECT_EQ(vars.GraphStart, 1);
    EXPECT_FALSE(vars.GraphBrowsing) << "the plot does not follow the new readings";
    expectLabels(view.xLabels, "1", "51", "100");
    EXPECT_FALSE(view.newest) << "the marker stays over the old readings";
    EXPECT_FALSE(view.readout) << "the readout stays over the old readings";
    EXPECT_EQ(view.calls.back(), "clearAndRedraw");

    for (int i = 1; i <= 40; ++i)
        capture(i, "new");
    EXPECT_EQ(vars.GraphPointCount, 40);
    EXPECT_EQ(vars.GraphStart, 1);
    expectPoint(point(1), 1, 1, pointY(1.0, 600));
    expectPoint(point(40), 40, 235, pointY(40.0, 600));
    EXPECT_EQ(view.newest->reading, "new v");
    window.mouseMove(1.0, 100.0, kPlotWidth, kPlotHeight);
    EXPECT_EQ(view.readout->reading, "new v") << "the readout shows an old record";
}

TEST_F(LiveGraphTest, AWindowLeftFullerThanTheScaleStartsANewPage)
{
    for (int i = 1; i <= 30; ++i)
        capture(i);
    window.chooseXScale("20"); // 30 points at 30 units a point
    EXPECT_EQ(point(21).PointX, 601);
    EXPECT_EQ(point(30).PointX, 871);

    capture(31.0);
    EXPECT_EQ(vars.GraphPointCount, 1);
    EXPECT_EQ(vars.GraphStart, 31);
    expectLabels(view.xLabels, "31", "41", "50");
    expectPoint(point(1), 31, 1, pointY(31.0, 600));
}

TEST_F(LiveGraphTest, ANegativePointCountStartsANewPage)
{
    for (int i = 1; i <= 3; ++i)
        store(i);
    vars.GraphStart = 851;
    vars.GraphPointCount = -847; // left behind by a step back after a clear

    capture(4.0);
    EXPECT_EQ(vars.GraphPointCount, 1);
    EXPECT_EQ(vars.GraphStart, 4);
    expectLabels(view.xLabels, "4", "54", "103");
    expectPoint(point(1), 4, 1, pointY(4.0, 600));
}

TEST_F(LiveGraphTest, ReadingsBeyondWhat32BitsPlaceAreClampedAndDrawnClipped)
{
    window.chooseYScale("6");
    capture(3.0, "3.000");
    capture(3.0e38, "OL");
    capture(-3.0e38, "-OL");
    capture(std::numeric_limits<double>::infinity());
    capture(-std::numeric_limits<double>::infinity());
    capture(std::numeric_limits<double>::quiet_NaN());
    capture(3.0);

    EXPECT_EQ(point(1).PointY, 273);
    EXPECT_EQ(point(2).PointY, kIntMin);
    EXPECT_EQ(point(3).PointY, kIntMax);
    EXPECT_EQ(point(4).PointY, kIntMin);
    EXPECT_EQ(point(5).PointY, kIntMax);
    EXPECT_EQ(point(6).PointY, kIntMax);
    EXPECT_EQ(point(7).PointY, 273);

    PlotDrawing drawing;
    planPlot(vars, drawing);
    EXPECT_EQ(drawing.dots, (std::vector<PlotDot> {{1, 273}, {37, 273}}));
    EXPECT_EQ(drawing.segments.size(), 5u) << "all but the one between points 5 and 6";
    for (const PlotLine& s : drawing.segments) {
        for (const double y : {s.y1, s.y2}) {
            EXPECT_GE(y, -1e-6);
            EXPECT_LE(y, kPlotHeight + 1e-6);
        }
    }

    capture(3.0e38, "OL");
    EXPECT_EQ(view.newest->lineY, kIntMin);
    EXPECT_EQ(view.newest->label.top, 0.0);
    EXPECT_EQ(view.newest->reading, "OL v");
}

// ---- Scales and the grid switch ---------------------------------------------------------

using GraphScaleChoiceTest = GraphWindowTest;

TEST_F(GraphScaleChoiceTest, XScaleSetsTheStepLabelsAndXOfEveryPointOnly)
{
    for (int i = 1; i <= 30; ++i)
        capture(i * 10.0);
    view.calls.clear();

    window.chooseXScale("1000");
    EXPECT_EQ(vars.XScale, 1000);
    EXPECT_EQ(vars.XStep, 0.6);
    expectLabels(view.xLabels, "1", "501", "1000");
    expectPoint(point(2), 2, 2, pointY(20.0, 600));
    expectPoint(point(3), 3, 2, pointY(30.0, 600));
    expectPoint(point(30), 30, 18, pointY(300.0, 600));
    EXPECT_EQ(vars.GraphPointCount, 30);
    EXPECT_EQ(vars.GraphStart, 1);
    EXPECT_EQ(view.calls, (Calls {"setXLabels", "showNewestMarker", "clearAndRedraw"}));
    ASSERT_TRUE(view.newest);
    EXPECT_EQ(view.newest->lineX, 18) << "the marker moved with the newest point";

    window.chooseXScale("10");
    EXPECT_EQ(vars.XStep, 60.0);
    expectLabels(view.xLabels, "1", "6", "10");
    expectPoint(point(2), 2, 61, pointY(20.0, 600));
    expectPoint(point(11), 11, 601, pointY(110.0, 600));
}

TEST_F(GraphScaleChoiceTest, XLabelsDescribeAFullWindowFromGraphStart)
{
    vars.GraphStart = 301;
    window.chooseXScale("50");
    expectLabels(view.xLabels, "301", "326", "350");
    EXPECT_EQ(vars.XStep, 12.0);
    EXPECT_EQ(view.redraws, 1) << "an empty store redraws an empty plot";
}

TEST_F(GraphScaleChoiceTest, YScaleRewritesTickLabelsOneToTwelveAndEveryHeight)
{
    for (int i = 1; i <= 12; ++i)
        capture(i * 0.5);
    view.calls.clear();

    window.chooseYScale("6");
    EXPECT_EQ(vars.YScale, 6);
    EXPECT_EQ(view.yLabels,
        (std::array<std::string, kYLabels> {
            "0", "0.5", "1", "1.5", "2", "2.5", "3", "3.5", "4", "4.5", "5", "5.5", "6"}));
    expectPoint(point(1), 1, 1, 498);
    expectPoint(point(6), 6, 31, 273);
    expectPoint(point(12), 12, 67, 3);
    EXPECT_EQ(vars.GraphPointCount, 12);
    EXPECT_EQ(view.calls.back(), "clearAndRedraw");
    EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), "setYLabel"), 12)
        << "label 0 keeps its 0";

    window.chooseYScale("6000");
    EXPECT_EQ(view.yLabels,
        (std::array<std::string, kYLabels> {"0", "500", "1000", "1500", "2000", "2500", "3000",
            "3500", "4000", "4500", "5000", "5500", "6000"}));
    expectPoint(point(12), 12, 67, 542);
}

TEST_F(GraphScaleChoiceTest, YScaleAfterAClearReadsTheStaleRecordsThePointsShow)
{
    for (int i = 1; i <= 10; ++i)
        capture(120.0 * i);
    clearList();

    window.chooseYScale("1200");
    EXPECT_EQ(point(1).PointY, pointY(120.0, 1200));
    EXPECT_EQ(point(10).PointY, 3);
    EXPECT_EQ(vars.GraphPointCount, 10);
}

TEST_F(GraphScaleChoiceTest, YScaleKeepsHugeReadingsClamped)
{
    capture(3.0e38);
    capture(-3.0e38);
    capture(std::numeric_limits<double>::quiet_NaN());
    for (const char* item : {"6", "6000", "600"}) {
        window.chooseYScale(item);
        EXPECT_EQ(point(1).PointY, kIntMin) << item;
        EXPECT_EQ(point(2).PointY, kIntMax) << item;
        EXPECT_EQ(point(3).PointY, kIntMax) << item;
    }
}

TEST_F(GraphScaleChoiceTest, TextsThatAreNoScaleChangeNothing)
{
    for (int i = 1; i <= 5; ++i)
        capture(i);
    view.calls.clear();
    const GraphPoint p5 = point(5);

    for (const char* text : {"", "abc", "0", "-100", "1e3", " 100", "2000"})
        window.chooseXScale(text);
    for (const char* text : {"", "abc", "0", "-600", "6.5"})
        window.chooseYScale(text);

    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(vars.XScale, 100);
    EXPECT_EQ(vars.XStep, 6.0);
    EXPECT_EQ(vars.YScale, 600);
    expectPoint(point(5), p5.PointNo, p5.PointX, p5.PointY);
}

TEST_F(GraphScaleChoiceTest, CrossSwitchesTheGridAndRedrawsOnly)
{
    capture(300.0);
    view.calls.clear();
    window.switchGrid(false);
    EXPECT_FALSE(vars.CrossOn);
    EXPECT_EQ(view.calls, (Calls {"clearAndRedraw"}));
    EXPECT_TRUE(view.newest) << "the marker is not part of the drawing";
    PlotDrawing drawing;
    planPlot(vars, drawing);
    EXPECT_TRUE(drawing.grid.empty());

    window.switchGrid(true);
    EXPECT_TRUE(vars.CrossOn);
    EXPECT_EQ(view.calls, (Calls {"clearAndRedraw", "clearAndRedraw"}));
}

// ---- Cursor readout ---------------------------------------------------------------------

class CursorReadoutTest : public GraphWindowTest {
protected:
    void moveTo(double X, double Y) { window.mouseMove(X, Y, kPlotWidth, kPlotHeight); }
};

TEST_F(CursorReadoutTest, ReadsOutThePointUnderThePointer)
{
    for (int i = 1; i <= 100; ++i)
        capture(i, std::to_string(i) + ".0");
    view.calls.clear();

    moveTo(9.9, 400.0);
    ASSERT_TRUE(view.readout);
    EXPECT_EQ(view.readout->lineX, 7);
    EXPECT_EQ(view.readout->lineY, pointY(2.0, 600));
    EXPECT_EQ(view.readout->label.left, 17.0);
    EXPECT_EQ(view.readout->label.top, pointY(2.0, 600) - 90.0);
    EXPECT_EQ(view.readout->reading, "2.0 v");
    EXPECT_EQ(view.readout->funText, "FUN_VAC");
    EXPECT_EQ(view.readout->stampText, "01/05/24\\14:03:2");
    EXPECT_EQ(view.calls, (Calls {"showReadout"})) << "no redraw, marker left alone";

    moveTo(0.5, 10.0);
    EXPECT_EQ(view.readout->reading, "1.0 v");
    moveTo(600.0, 10.0);
    EXPECT_EQ(view.readout->reading, "100.0 v");
    EXPECT_EQ(view.readout->lineX, 595);
}

TEST_F(CursorReadoutTest, LabelIsKeptInsideTheBox)
{
    for (int i = 1; i <= 100; ++i)
        capture(i == 2 ? 559.0 : 300.0); // point 2 at y = 40
    moveTo(8.0, 300.0);
    EXPECT_EQ(view.readout->lineY, 40);
    EXPECT_EQ(view.readout->label.top, 0.0) << "not -50";

    moveTo(578.0, 300.0); // point 97 at x = 577
    EXPECT_EQ(view.readout->lineX, 577);
    EXPECT_NEAR(view.readout->label.left, 506.65, 0.005) << "not 587";

    window.mouseMove(578.0, 300.0, 590.0, kPlotHeight); // the box reports its own width
    EXPECT_NEAR(view.readout->label.left, 590.0 - kPointLabelWidth, 1e-9);
}

TEST_F(CursorReadoutTest, HidesOutsideTheBoxAndShowsAgainInside)
{
    for (int i = 1; i <= 30; ++i)
        capture(i);
    const struct {
        double X;
        double Y;
        bool inside;
    } moves[] = {{100.0, 100.0, true}, {-0.1, 100.0, false}, {0.0, 0.0, true},
        {605.1, 100.0, false}, {605.0, 543.0, true}, {100.0, 543.5, false}, {100.0, -1.0, false},
        {300.0, 200.0, true}};
    for (const auto& m : moves) {
        view.calls.clear();
        moveTo(m.X, m.Y);
        EXPECT_EQ(view.calls, (Calls {m.inside ? "showReadout" : "hideReadout"}))
            << m.X << ", " << m.Y;
        EXPECT_EQ(view.readout.has_value(), m.inside) << m.X << ", " << m.Y;
    }
    moveTo(300.0, 200.0);
    window.pointerLeft();
    EXPECT_FALSE(view.readout);
}

TEST_F(CursorReadoutTest, WithoutRecordsOrPointsThereIsNoReadout)
{
    const Calls hidden {"hideReadout"};
    moveTo(100.0, 100.0); // empty store
    EXPECT_EQ(view.calls, hidden);

    for (int i = 1; i <= 30; ++i)
        capture(i);
    window.navigate(NavigationButton::Centre); // a window without points
    for (const double x : {100.0, -5.0}) {
        view.calls.clear();
        moveTo(x, 100.0);
        EXPECT_EQ(view.calls, hidden) << x;
    }

    capture(31.0);
    clearList(); // the point is still there, the store is empty
    view.calls.clear();
    moveTo(1.0, 100.0);
    EXPECT_EQ(view.calls, hidden);
    EXPECT_FALSE(view.readout);
}

TEST_F(CursorReadoutTest, WhatMovesThePointsMovesTheReadoutOnToThePointNowUnderThePointer)
{
    for (int i = 1; i <= 30; ++i)
        capture(i * 10.0);
    moveTo(13.5, 100.0);
    ASSERT_TRUE(view.readout);
    EXPECT_EQ(view.readout->lineX, 13);

    window.chooseYScale("60");
    ASSERT_TRUE(view.readout);
    EXPECT_EQ(view.readout->lineY, point(3).PointY) << "the same point at its new height";

    window.navigate(NavigationButton::Centre);
    EXPECT_FALSE(view.readout) << "no point under the pointer";

    capture(5.0); // following: the readout waits for the pointer to move
    EXPECT_FALSE(view.readout);
    moveTo(1.5, 100.0);
    ASSERT_TRUE(view.readout);
    window.pointerLeft();
    window.chooseYScale("600");
    EXPECT_FALSE(view.readout) << "a pointer that left brings no readout back";
}

TEST_F(CursorReadoutTest, AfterAClearThePointsOfTheOldRecordsReadTheirStaleTexts)
{
    for (int i = 1; i <= 60; ++i)
        capture(i, "old");
    clearList();
    for (int i = 1; i <= 3; ++i)
        capture(i, "new");

    moveTo(58.0, 100.0); // point 10 still shows record 10, now beyond the count
    EXPECT_EQ(view.readout->reading, "old v");
    EXPECT_EQ(view.readout->stampText, "01/05/24\\14:03:10");
    moveTo(10.0, 100.0); // point 2 shows record 2, which a new reading overwrote
    EXPECT_EQ(view.readout->reading, "new v");
    moveTo(362.0, 100.0); // point 61 shows the new record 1
    EXPECT_EQ(view.readout->reading, "new v");
}

TEST_F(CursorReadoutTest, WorksTheSameWhileBrowsingAndWithoutTheGrid)
{
    for (int i = 1; i <= 300; ++i)
        capture(i, std::to_string(i));
    window.switchGrid(false);
    window.navigate(NavigationButton::Left); // 201 … 300 was shown: now 151 … 250
    ASSERT_TRUE(vars.GraphBrowsing);
    moveTo(9.9, 100.0);
    EXPECT_EQ(view.readout->reading, "152 v");
}

TEST_F(CursorReadoutTest, RedrawsLeaveTheReadoutWhereItWas)
{
    for (int i = 1; i <= 10; ++i)
        capture(i);
    moveTo(9.9, 100.0);
    const std::string before = view.readout->reading;
    capture(11.0);
    window.switchGrid(false);
    ASSERT_TRUE(view.readout);
    EXPECT_EQ(view.readout->reading, before);
}

} // namespace
} // namespace clampmeter
