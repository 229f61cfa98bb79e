// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/graph_navigation.h"

#include "graph/plot_drawing.h"
#include "graph/plot_position.h"
#include "recording_graph_view.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

namespace clampmeter {
namespace {

using Calls = std::vector<std::string>;
using enum NavigationButton;

const char* nameOf(NavigationButton button)
{
    switch (button) {
    case First:
        return "first";
    case Left:
        return "left";
    case Centre:
        return "centre";
    case Right:
        return "right";
    case End:
        return "end";
    }
    return "?";
}

/// Records whose value is their own number, so every height says which record it shows.
class GraphNavigationTest : public GraphWindowTest {
protected:
    void captureRecords(int count)
    {
        for (int i = 0; i < count; ++i)
            capture(vars.DataCount + 1);
    }

    /// One step of a sequence: the button, and the window it should show afterwards.
    struct Step {
        NavigationButton button;
        bool acts;
        std::int32_t start;
        std::int32_t count;
        XLabelTexts labels;
        bool browsing;
    };
    void run(std::initializer_list<Step> steps)
    {
        for (const Step& s : steps) {
            SCOPED_TRACE(testing::Message() << nameOf(s.button) << " to " << s.start);
            view.calls.clear();
            window.navigate(s.button);
            if (!s.acts) {
                EXPECT_TRUE(view.calls.empty());
            } else {
                // Browsing, or following a page still empty: no newest-reading marker.
                EXPECT_EQ(view.calls, (Calls {"setXLabels", "hideNewestMarker", "clearAndRedraw"}));
            }
            EXPECT_EQ(vars.GraphStart, s.start);
            EXPECT_EQ(vars.GraphPointCount, s.count);
            EXPECT_EQ(view.xLabels.first, s.labels.first);
            EXPECT_EQ(view.xLabels.middle, s.labels.middle);
            EXPECT_EQ(view.xLabels.last, s.labels.last);
            EXPECT_EQ(vars.GraphBrowsing, s.browsing);
            expectWindowShowsItsRecords();
        }
    }

    /// Point i shows record GraphStart + i − 1, at its place and at that record's height.
    void expectWindowShowsItsRecords()
    {
        for (std::int32_t i = 1; i <= vars.GraphPointCount; ++i) {
            const GraphPoint& p = point(i);
            const std::int32_t no = vars.GraphStart + i - 1;
            ASSERT_EQ(p.PointNo, no) << "point " << i;
            ASSERT_EQ(p.PointX, pointX(i, vars.XStep)) << "point " << i;
            ASSERT_EQ(p.PointY, pointY(no, vars.YScale)) << "point " << i;
        }
    }
};

TEST_F(GraphNavigationTest, EmptyStoreMakesEveryButtonDoNothing)
{
    for (const bool browsing : {false, true}) {
        vars.GraphBrowsing = browsing;
        for (const NavigationButton button : {First, Left, Centre, Right, End}) {
            window.navigate(button);
            EXPECT_TRUE(view.calls.empty()) << nameOf(button);
            EXPECT_EQ(vars.GraphBrowsing, browsing) << nameOf(button);
            EXPECT_EQ(vars.GraphStart, 1) << nameOf(button);
            EXPECT_EQ(vars.GraphPointCount, 0) << nameOf(button);
        }
    }
}

TEST_F(GraphNavigationTest, ThirtyRecordsAtScaleOneHundred)
{
    captureRecords(30);
    run({
        {First, false, 1, 30, {"1", "51", "100"}, false}, // fewer records than a window
        {End, true, 1, 30, {"1", "51", "100"}, true},
        {Left, true, 1, 30, {"1", "51", "100"}, true},
        {Right, false, 1, 30, {"1", "51", "100"}, true}, // already reaches the newest
        {Centre, true, 31, 0, {"31", "81", "130"}, false},
    });

    capture(31.0);
    EXPECT_EQ(vars.GraphPointCount, 1);
    EXPECT_EQ(vars.GraphStart, 31);
    EXPECT_EQ(point(1).PointNo, 31);
    EXPECT_EQ(point(1).PointX, 1);
}

TEST_F(GraphNavigationTest, ThousandRecordsAtScaleOneHundred)
{
    captureRecords(1000);
    run({
        {End, true, 901, 100, {"901", "951", "1000"}, true},
        {Right, false, 901, 100, {"901", "951", "1000"}, true}, // ends on the newest
        {Left, true, 851, 100, {"851", "901", "950"}, true},
        {Left, true, 801, 100, {"801", "851", "900"}, true},
        {Right, true, 851, 100, {"851", "901", "950"}, true},
        {First, true, 1, 100, {"1", "51", "100"}, true},
        {Left, true, 1, 100, {"1", "51", "100"}, true}, // cannot pass record 1
        {Right, true, 51, 100, {"51", "101", "150"}, true},
        {Left, true, 1, 100, {"1", "51", "100"}, true}, // exactly half a window back
        {Centre, true, 1001, 0, {"1001", "1051", "1100"}, false},
    });
}

TEST_F(GraphNavigationTest, StepForwardShowsTheRecordsLeftWithLabelsOfAFullWindow)
{
    captureRecords(980);
    window.navigate(First);
    for (int i = 0; i < 17; ++i)
        window.navigate(Right);
    ASSERT_EQ(vars.GraphStart, 851);
    run({
        {Right, true, 901, 80, {"901", "951", "1000"}, true},
        {Right, false, 901, 80, {"901", "951", "1000"}, true},
        {End, true, 881, 100, {"881", "931", "980"}, true},
    });
}

TEST_F(GraphNavigationTest, ScaleOneThousandWithAThousandRecordsShowsThemAll)
{
    window.chooseXScale("1000");
    captureRecords(1000);
    for (const NavigationButton button : {First, End}) {
        SCOPED_TRACE(nameOf(button));
        window.navigate(button);
        EXPECT_EQ(vars.GraphStart, 1);
        ASSERT_EQ(vars.GraphPointCount, 1000);
        EXPECT_EQ(point(1).PointX, 1);
        EXPECT_EQ(point(1000).PointX, 600);
        for (int i = 2; i <= 1000; ++i)
            ASSERT_LE(point(i - 1).PointX, point(i).PointX) << i;
        expectWindowShowsItsRecords();
    }
}

TEST_F(GraphNavigationTest, StepsFollowTheStoreWhileItGrowsInBrowsingMode)
{
    captureRecords(150);
    window.navigate(First);
    captureRecords(100); // stored, not plotted
    EXPECT_EQ(vars.GraphStart, 1);
    run({
        {End, true, 151, 100, {"151", "201", "250"}, true},
        {Centre, true, 251, 0, {"251", "301", "350"}, false},
    });
}

TEST_F(GraphNavigationTest, BrowsingHidesTheNewestMarkerUntilThePlotFollowsAgain)
{
    captureRecords(250);
    ASSERT_TRUE(view.newest);
    for (const NavigationButton button : {End, Left, First, Right, Centre}) {
        window.navigate(button);
        EXPECT_FALSE(view.newest) << nameOf(button) << ": it would stand on another point";
    }
    capture(251.0);
    ASSERT_TRUE(view.newest);
    EXPECT_EQ(view.newest->lineX, point(1).PointX);
    EXPECT_EQ(view.newest->lineY, point(1).PointY);
}

TEST_F(GraphNavigationTest, AStepBackAfterAClearCanLeaveNoPointsToShow)
{
    captureRecords(950); // page 901 … 1000 holds 50 points
    clearList();
    for (int i = 1; i <= 3; ++i)
        capture(i);
    ASSERT_EQ(vars.GraphPointCount, 53);

    window.navigate(Left);
    EXPECT_TRUE(vars.GraphBrowsing);
    EXPECT_EQ(vars.GraphStart, 851);
    EXPECT_EQ(vars.GraphPointCount, 3 - 851 + 1) << "the records left from 851 on: none";
    EXPECT_EQ(view.xLabels.first, "851");
    EXPECT_EQ(view.xLabels.last, "950");
    PlotDrawing drawing;
    planPlot(vars, drawing);
    EXPECT_TRUE(drawing.segments.empty());
    EXPECT_TRUE(drawing.dots.empty());
    EXPECT_EQ(drawing.ticks.size(), 100u) << "only the frame is left";

    view.calls.clear();
    window.mouseMove(100.0, 100.0, 605.0, 543.0);
    EXPECT_EQ(view.calls, (Calls {"hideReadout"})) << "no point to read out";
    view.calls.clear();
    capture(4.0);
    EXPECT_EQ(view.calls, (Calls {"hideNewestMarker"}));
    window.pointerLeft();

    run({
        {End, true, 1, 4, {"1", "51", "100"}, true},
        {Centre, true, 5, 0, {"5", "55", "104"}, false},
    });
    capture(5.0);
    EXPECT_EQ(vars.GraphPointCount, 1);
    EXPECT_EQ(point(1).PointNo, 5);
}

TEST(GraphRebuild, ReadsStaleRecordsAndPlacesMissingOnesFarBelow)
{
    VarModule vars;
    vars.DataRecords[9].Value = 600.0; // record 10, stale after a clear
    vars.DataRecords[kMaxRecords - 1].Value = 300.0;
    vars.DataCount = 0;

    vars.GraphStart = 10;
    vars.GraphPointCount = 1;
    rebuildGraphWindow(vars);
    EXPECT_EQ(vars.GraphPoints[0].PointNo, 10);
    EXPECT_EQ(vars.GraphPoints[0].PointY, 3);

    vars.GraphStart = kMaxRecords;
    vars.GraphPointCount = 3;
    rebuildGraphWindow(vars);
    EXPECT_EQ(vars.GraphPoints[0].PointY, 273);
    EXPECT_EQ(vars.GraphPoints[1].PointNo, kMaxRecords + 1);
    EXPECT_EQ(vars.GraphPoints[1].PointY, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(vars.GraphPoints[2].PointY, std::numeric_limits<std::int32_t>::max());
}

TEST(GraphRebuild, ACountOfZeroOrLessRebuildsNothing)
{
    VarModule vars;
    vars.GraphPoints[0] = {7, 8, 9};
    vars.GraphStart = 5;
    for (const std::int32_t count : {0, -1, -847, std::numeric_limits<std::int32_t>::min()}) {
        vars.GraphPointCount = count;
        rebuildGraphWindow(vars);
        EXPECT_EQ(vars.GraphPoints[0].PointNo, 7) << count;
        EXPECT_EQ(vars.GraphPoints[0].PointX, 8) << count;
        EXPECT_EQ(vars.GraphPoints[0].PointY, 9) << count;
    }
}

TEST_F(GraphNavigationTest, HugeReadingsStayClampedThroughARebuild)
{
    window.chooseYScale("6");
    capture(3.0e38);
    capture(-3.0e38);
    capture(std::numeric_limits<double>::quiet_NaN());
    window.navigate(End);
    EXPECT_EQ(point(1).PointY, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(point(2).PointY, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(point(3).PointY, std::numeric_limits<std::int32_t>::max());
}

} // namespace
} // namespace clampmeter
