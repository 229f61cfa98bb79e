// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/cursor_pick.h"

#include "graph/graph_scales.h"
#include "graph/plot_position.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace clampmeter {
namespace {

class CursorPickTest : public testing::Test {
protected:
    /// A window of `count` points laid out as the live update lays them at `xScale`.
    void layOut(std::int32_t xScale, std::int32_t count)
    {
        vars.XScale = xScale;
        vars.XStep = xStepFor(xScale);
        vars.GraphPointCount = count;
        for (std::int32_t i = 1; i <= count; ++i)
            vars.GraphPoints[static_cast<std::size_t>(i - 1)] = {i, pointX(i, vars.XStep), 300};
    }

    /// Points at the given x positions, with the step of the scale they came from.
    void placeAt(double xStep, std::initializer_list<std::int32_t> xs)
    {
        vars.XStep = xStep;
        vars.GraphPointCount = 0;
        for (const std::int32_t x : xs) {
            ++vars.GraphPointCount;
            vars.GraphPoints[static_cast<std::size_t>(vars.GraphPointCount - 1)]
                = {vars.GraphPointCount, x, 300};
        }
    }

    struct Pick {
        double X;
        std::int32_t point;
    };
    void expectPicks(std::initializer_list<Pick> picks)
    {
        for (const Pick& p : picks)
            EXPECT_EQ(pickGraphPoint(vars, p.X), p.point) << "X = " << p.X;
    }

    VarModule vars;
};

TEST_F(CursorPickTest, FullWindowAtOneHundredPicksThePointWhoseStepHoldsThePointer)
{
    layOut(100, 100); // x = 1, 7, 13, … 595
    expectPicks({{9.9, 2}, {0.5, 1}, {0.0, 1}, {1.0, 1}, {6.99, 1}, {7.0, 2}, {300.0, 50},
        {595.0, 100}, {600.0, 100}, {605.0, 100}});
}

TEST_F(CursorPickTest, RightOfTheLastPointPicksTheLast)
{
    layOut(100, 30); // the last at x = 175
    expectPicks({{174.9, 29}, {175.0, 30}, {176.0, 30}, {590.0, 30}, {605.0, 30}});
}

TEST_F(CursorPickTest, ASinglePointIsPickedEverywhere)
{
    layOut(100, 1);
    expectPicks({{0.0, 1}, {1.0, 1}, {3.0, 1}, {605.0, 1}});
}

TEST_F(CursorPickTest, PointsSharingAnXGiveTheHighestIndex)
{
    layOut(1000, 1000); // points 2 and 3 at x = 2 (1.6 and 2.2), 999 and 1000 at 600
    expectPicks({{1.0, 1}, {1.5, 1}, {2.0, 3}, {2.3, 3}, {2.59, 3}, {600.0, 1000}});
}

TEST_F(CursorPickTest, APointerBetweenTheStepsOfTwoPointsPicksTheNearerOne)
{
    layOut(500, 500); // point 3 at x = 3 covers 3 … 4.2, point 4 sits at x = 5
    expectPicks({{4.1, 3}, {4.2, 4}, {4.3, 4}, {4.6, 4}, {4.99, 4}, {5.0, 4}});
    layOut(1000, 1000); // point 1 at x = 1 covers 1 … 1.6, points 2 and 3 sit at 2
    expectPicks({{1.6, 3}, {1.9, 3}});

    placeAt(0.6, {1, 4}); // hand-made: nearer to the left one
    expectPicks({{1.7, 1}, {2.4, 1}, {2.6, 2}, {3.5, 2}});
    placeAt(2.0, {1, 4}); // a point's step ends just before x + XStep
    expectPicks({{2.9, 1}, {3.0, 2}});
}

TEST_F(CursorPickTest, APointerAsFarFromBothNeighboursPicksTheHigherIndex)
{
    placeAt(0.6, {1, 3});
    expectPicks({{2.0, 2}});
    placeAt(0.6, {1, 3, 3, 6});
    expectPicks({{2.0, 3}, {4.5, 4}});
}

} // namespace
} // namespace clampmeter
