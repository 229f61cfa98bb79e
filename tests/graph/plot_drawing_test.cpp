// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/plot_drawing.h"

#include "graph/plot_geometry.h"
#include "graph/plot_position.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <ostream>
#include <vector>

namespace clampmeter {

void PrintTo(const PlotLine& line, std::ostream* os)
{
    *os << "(" << line.x1 << ", " << line.y1 << ")-(" << line.x2 << ", " << line.y2 << ")";
}

void PrintTo(const PlotDot& dot, std::ostream* os)
{
    *os << "(" << dot.x << ", " << dot.y << ")";
}

namespace {

constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr double kSlack = 1e-9;
/// Where an edge is met by a line from a point at the limit of 32 bits, a unit in the last
/// place of that point's coordinate is 2.4e-7 or 4.8e-7.
constexpr double kFarSlack = 1e-6;

class PlotDrawingTest : public testing::Test {
protected:
    struct At {
        std::int32_t x;
        std::int32_t y;
    };
    /// Points 1, 2, … at the given positions.
    void plot(std::initializer_list<At> points)
    {
        vars.GraphPointCount = 0;
        for (const At& p : points) {
            ++vars.GraphPointCount;
            vars.GraphPoints[static_cast<std::size_t>(vars.GraphPointCount - 1)]
                = {vars.GraphPointCount, p.x, p.y};
        }
        planPlot(vars, drawing);
    }

    static void expectInsideTheBox(const PlotLine& line)
    {
        for (const double x : {line.x1, line.x2}) {
            EXPECT_GE(x, -kFarSlack);
            EXPECT_LE(x, kPlotWidth + kFarSlack);
        }
        for (const double y : {line.y1, line.y2}) {
            EXPECT_GE(y, -kFarSlack);
            EXPECT_LE(y, kPlotHeight + kFarSlack);
        }
    }

    /// The clipped part lies on the unclipped line: the same direction, to rounding.
    static void expectSameDirection(const PlotLine& clipped, const PlotLine& whole)
    {
        const double clippedAngle = std::atan2(clipped.y2 - clipped.y1, clipped.x2 - clipped.x1);
        const double wholeAngle = std::atan2(whole.y2 - whole.y1, whole.x2 - whole.x1);
        EXPECT_NEAR(clippedAngle, wholeAngle, 1e-9);
    }

    VarModule vars;
    PlotDrawing drawing;
};

TEST_F(PlotDrawingTest, FrameHasTicksGridAndCentreLineWhateverTheXScale)
{
    for (const std::int32_t xScale : {100, 1000, 10}) {
        vars.XScale = xScale;
        vars.XStep = 600.0 / xScale;
        plot({});
        ASSERT_EQ(drawing.ticks.size(), 100u);
        for (int i = 1; i <= 100; ++i) {
            const double x = 6.0 * i - 5.0;
            EXPECT_EQ(
                drawing.ticks[static_cast<std::size_t>(i - 1)], (PlotLine {x, 540.0, x, 543.0}))
                << i;
        }
        ASSERT_EQ(drawing.grid.size(), 12u);
        for (int j = 0; j < 12; ++j) {
            const double y = 45.0 * j + 3.0; // level with tick labels 12 down to 1
            EXPECT_EQ(drawing.grid[static_cast<std::size_t>(j)], (PlotLine {0.0, y, 603.0, y}))
                << j;
        }
        EXPECT_EQ(drawing.centreLine, (PlotLine {301.0, 0.0, 301.0, 543.0}));
        EXPECT_TRUE(drawing.segments.empty());
        EXPECT_TRUE(drawing.dots.empty());
    }
}

TEST_F(PlotDrawingTest, GridIsLeftOutWhileCrossIsOff)
{
    vars.CrossOn = false;
    plot({{1, 273}, {7, 300}});
    EXPECT_TRUE(drawing.grid.empty());
    EXPECT_EQ(drawing.ticks.size(), 100u);
    EXPECT_EQ(drawing.centreLine, (PlotLine {301.0, 0.0, 301.0, 543.0}));
    EXPECT_EQ(drawing.segments.size(), 1u);
    EXPECT_EQ(drawing.dots.size(), 2u);
}

TEST_F(PlotDrawingTest, OnePointIsASingleDot)
{
    plot({{1, 273}});
    EXPECT_TRUE(drawing.segments.empty());
    ASSERT_EQ(drawing.dots.size(), 1u);
    EXPECT_EQ(drawing.dots[0], (PlotDot {1.0, 273.0}));
}

TEST_F(PlotDrawingTest, CurveRunsFromEachPointBackToTheOneBeforeWithOneDotPerPoint)
{
    plot({{1, 273}, {7, 3}, {13, 543}, {19, 538}});
    EXPECT_EQ(drawing.segments,
        (std::vector<PlotLine> {{7, 3, 1, 273}, {13, 543, 7, 3}, {19, 538, 13, 543}}));
    EXPECT_EQ(drawing.dots, (std::vector<PlotDot> {{1, 273}, {7, 3}, {13, 543}, {19, 538}}));
}

TEST_F(PlotDrawingTest, NoCurveWithoutPoints)
{
    for (const std::int32_t count : {0, -1, -847, kIntMin}) {
        plot({{1, 273}, {7, 3}});
        vars.GraphPointCount = count; // the entries are still there, but not in use
        planPlot(vars, drawing);
        EXPECT_TRUE(drawing.segments.empty()) << count;
        EXPECT_TRUE(drawing.dots.empty()) << count;
        EXPECT_EQ(drawing.ticks.size(), 100u) << count;
    }
}

TEST_F(PlotDrawingTest, DrawingAgainReplacesThePreviousPlan)
{
    plot({{1, 273}, {7, 3}, {13, 543}});
    plot({{1, 100}});
    EXPECT_EQ(drawing.ticks.size(), 100u);
    EXPECT_EQ(drawing.grid.size(), 12u);
    EXPECT_TRUE(drawing.segments.empty());
    EXPECT_EQ(drawing.dots, (std::vector<PlotDot> {{1, 100}}));
}

TEST_F(PlotDrawingTest, DotIsKeptWhileItsCircleCanTouchTheBox)
{
    const struct {
        At at;
        bool kept;
    } cases[] = {{{0, 0}, true}, {{605, 543}, true}, {{1, -2}, true}, {{1, -3}, false},
        {{1, 545}, true}, {{1, 546}, false}, {{607, 300}, true}, {{608, 300}, false},
        {{-2, 300}, true}, {{-3, 300}, false}, {{7, kIntMin}, false}, {{7, kIntMax}, false}};
    for (const auto& c : cases) {
        plot({c.at});
        EXPECT_EQ(drawing.dots.size(), c.kept ? 1u : 0u) << c.at.x << ", " << c.at.y;
    }
}

TEST_F(PlotDrawingTest, SegmentTowardsAPointFarAboveLeavesThroughTheTopAtItsOwnAngle)
{
    // 300, then 3.0e38 at full scale 6, then 300: the middle point is clamped far above.
    plot({{1, 273}, {7, kIntMin}, {13, 273}});
    EXPECT_EQ(drawing.dots, (std::vector<PlotDot> {{1, 273}, {13, 273}}));
    ASSERT_EQ(drawing.segments.size(), 2u);

    const PlotLine& up = drawing.segments[0]; // from the far point back to point 1
    EXPECT_NEAR(up.y1, 0.0, kFarSlack);
    EXPECT_EQ(up.x2, 1.0);
    EXPECT_EQ(up.y2, 273.0);
    const double topX = 7.0 + (0.0 - kIntMin) / (273.0 - kIntMin) * (1.0 - 7.0);
    EXPECT_NEAR(up.x1, topX, kSlack);
    expectSameDirection(up, {7, kIntMin, 1, 273});

    const PlotLine& down = drawing.segments[1]; // from point 3 up to the far point
    EXPECT_EQ(down.x1, 13.0);
    EXPECT_EQ(down.y1, 273.0);
    EXPECT_NEAR(down.y2, 0.0, kFarSlack);
    expectSameDirection(down, {13, 273, 7, kIntMin});
}

TEST_F(PlotDrawingTest, SegmentTowardsAPointFarBelowLeavesThroughTheBottom)
{
    plot({{1, 273}, {7, kIntMax}});
    ASSERT_EQ(drawing.segments.size(), 1u);
    EXPECT_NEAR(drawing.segments[0].y1, 543.0, kFarSlack);
    EXPECT_EQ(drawing.segments[0].x2, 1.0);
    EXPECT_EQ(drawing.segments[0].y2, 273.0);
    expectSameDirection(drawing.segments[0], {7, kIntMax, 1, 273});
    EXPECT_EQ(drawing.dots.size(), 1u);
}

TEST_F(PlotDrawingTest, SegmentsBetweenTwoPointsOutsideOnOneSideAreLeftOut)
{
    plot({{1, kIntMin}, {7, kIntMin}, {13, -87}, {19, kIntMax}, {25, 1083}});
    // Only the steep one from 19 (far below) to 13 (above) crosses the box.
    ASSERT_EQ(drawing.segments.size(), 1u);
    EXPECT_NEAR(drawing.segments[0].y1, 543.0, kFarSlack);
    EXPECT_NEAR(drawing.segments[0].y2, 0.0, kFarSlack);
    expectSameDirection(drawing.segments[0], {19, kIntMax, 13, -87});
    EXPECT_TRUE(drawing.dots.empty());
}

TEST_F(PlotDrawingTest, PointsPastTheRightEdgeAreClippedThere)
{
    // A window of 200 at 6 units a point, as left behind by lowering the X scale to 100:
    // point 101 sits at 601, point 102 at 607, the rest further right.
    vars.XStep = 6.0;
    vars.GraphPointCount = 200;
    for (std::int32_t i = 1; i <= 200; ++i)
        vars.GraphPoints[static_cast<std::size_t>(i - 1)] = {i, pointX(i, 6.0), 300};
    planPlot(vars, drawing);

    ASSERT_EQ(drawing.segments.size(), 101u);
    EXPECT_EQ(drawing.segments[99], (PlotLine {601, 300, 595, 300}));
    EXPECT_NEAR(drawing.segments[100].x1, 605.0, kSlack);
    EXPECT_EQ(drawing.segments[100].x2, 601.0);
    ASSERT_EQ(drawing.dots.size(), 102u) << "the dot at 607 still reaches the edge";
    EXPECT_EQ(drawing.dots.back(), (PlotDot {607, 300}));
}

TEST_F(PlotDrawingTest, EveryClippedCoordinateLiesInTheBoxHoweverFarThePoints)
{
    plot({{1, kIntMin}, {7, kIntMax}, {13, 273}, {19, kIntMin}, {25, -87}, {31, 1083},
        {37, kIntMax}, {43, 543}, {49, 0}});
    EXPECT_EQ(drawing.segments.size(), 6u) << "two pairs lie wholly above or below";
    for (const PlotLine& s : drawing.segments)
        expectInsideTheBox(s);
}

TEST(PlotClip, KeepsWhatIsInsideAndCutsAtTheEdges)
{
    const struct {
        PlotLine line;
        std::optional<PlotLine> clipped;
    } cases[] = {
        {{1, 273, 7, 300}, PlotLine {1, 273, 7, 300}},
        {{0, 0, 605, 543}, PlotLine {0, 0, 605, 543}},
        {{1, 543, 7, 543}, PlotLine {1, 543, 7, 543}}, // along the bottom edge
        {{5, 5, 5, 5}, PlotLine {5, 5, 5, 5}}, {{-100, 10, 705, 10}, PlotLine {0, 10, 605, 10}},
        {{300, -100, 300, 643}, PlotLine {300, 0, 300, 543}}, {{-10, 10, -1, 20}, std::nullopt},
        {{1, 544, 7, 600}, std::nullopt}, {{606, 0, 700, 543}, std::nullopt},
        {{-1, -1, -1, -1}, std::nullopt},
        {{-10, 553, 10, 533}, PlotLine {0, 543, 10, 533}}, // through the bottom-left corner
        {{-20, 20, 20, -20}, PlotLine {0, 0, 0, 0}}, // touches the corner only
    };
    for (const auto& c : cases) {
        const auto clipped = clipToPlotBox(c.line);
        ASSERT_EQ(clipped.has_value(), c.clipped.has_value()) << testing::PrintToString(c.line);
        if (!clipped)
            continue;
        EXPECT_NEAR(clipped->x1, c.clipped->x1, kSlack) << testing::PrintToString(c.line);
        EXPECT_NEAR(clipped->y1, c.clipped->y1, kSlack) << testing::PrintToString(c.line);
        EXPECT_NEAR(clipped->x2, c.clipped->x2, kSlack) << testing::PrintToString(c.line);
        EXPECT_NEAR(clipped->y2, c.clipped->y2, kSlack) << testing::PrintToString(c.line);
    }
}

} // namespace
} // namespace clampmeter
