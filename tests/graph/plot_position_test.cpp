// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/plot_geometry.h"
#include "graph/plot_position.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace clampmeter {
namespace {

constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(PlotPosition, RoundsToNearestWithHalvesToTheEvenNeighbour)
{
    const struct {
        double position;
        std::int32_t rounded;
    } cases[] = {{538.5, 538}, {529.5, 530}, {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2},
        {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {600.4, 600}, {-87.0, -87},
        {2147483646.5, 2147483646}, {2147483646.6, kIntMax}, {-2147483647.5, kIntMin},
        {-2147483648.4, kIntMin}};
    for (const auto& c : cases)
        EXPECT_EQ(roundPosition(c.position), c.rounded) << c.position;
}

TEST(PlotPosition, PositionsBeyondThirtyTwoBitsClampToTheLimitOnTheirSide)
{
    const struct {
        double position;
        std::int32_t rounded;
    } cases[] = {{2147483647.5, kIntMax}, {2147483648.0, kIntMax}, {1e300, kIntMax},
        {kInf, kIntMax}, {-2147483648.6, kIntMin}, {-2147483649.0, kIntMin}, {-1e300, kIntMin},
        {-kInf, kIntMin}, {kNaN, kIntMax}};
    for (const auto& c : cases)
        EXPECT_EQ(roundPosition(c.position), c.rounded) << c.position;
}

TEST(PlotPosition, XDependsOnThePlaceInTheWindowAndTheStep)
{
    const struct {
        std::int32_t i;
        double xStep;
        std::int32_t x;
    } cases[] = {{1, 6.0, 1}, {2, 6.0, 7}, {100, 6.0, 595}, {101, 6.0, 601}, // 100 a window
        {2, 0.6, 2}, {3, 0.6, 2}, {4, 0.6, 3}, {999, 0.6, 600}, {1000, 0.6, 600}, // 1000
        {3, 1.2, 3}, {4, 1.2, 5}, {500, 1.2, 600}, // 500: 3.4 and 4.6 leave a gap
        {200, 3.0, 598}, {50, 12.0, 589}, {20, 30.0, 571}, {10, 60.0, 541}, {11, 60.0, 601}};
    for (const auto& c : cases)
        EXPECT_EQ(pointX(c.i, c.xStep), c.x) << "point " << c.i << " at step " << c.xStep;
}

TEST(PlotPosition, YDependsOnTheValueAndTheFullScale)
{
    const struct {
        double value;
        std::int32_t yScale;
        std::int32_t y;
    } cases[] = {{300.0, 600, 273}, {0.0, 600, 543}, {600.0, 600, 3}, {5.0, 600, 538},
        {15.0, 600, 530}, {229.8, 600, 336}, {3.0, 6, 273}, {0.5, 6, 498}, {6000.0, 6000, 3},
        {1200.0, 600, -537}, {-600.0, 600, 1083}, {700.0, 600, -87},
        // divided, then multiplied: other orders round these the other way
        {8.1, 12, 179}, {9.9, 12, 97},
        // the last whole positions 32 bits hold still follow the rule exactly
        {2147484190.0, 540, -2147483647}, {2147484191.0, 540, kIntMin},
        {-2147483103.0, 540, 2147483646}, {-2147483104.0, 540, kIntMax}};
    for (const auto& c : cases)
        EXPECT_EQ(pointY(c.value, c.yScale), c.y) << c.value << " at full scale " << c.yScale;
}

TEST(PlotPosition, FullScaleLandsOnTheTopGridLineAtEveryScale)
{
    for (const std::int32_t yScale : {6000, 1200, 600, 120, 60, 12, 6}) {
        EXPECT_EQ(pointY(yScale, yScale), 3) << yScale;
        EXPECT_EQ(pointY(0.0, yScale), 543) << yScale;
    }
}

TEST(PlotPosition, OverflowingAndMissingValuesLandFarAboveOrBelowTheBox)
{
    const float largestReading = std::numeric_limits<float>::max();
    const struct {
        double value;
        std::int32_t yScale;
        std::int32_t y;
    } cases[] = {{3.0e38, 6, kIntMin}, {-3.0e38, 6, kIntMax}, {largestReading, 6, kIntMin},
        {-largestReading, 6, kIntMax}, {1e308, 6, kIntMin}, {kInf, 600, kIntMin},
        {-kInf, 600, kIntMax}, {kNaN, 600, kIntMax}, {3.0e38, 6000, kIntMin}};
    for (const auto& c : cases)
        EXPECT_EQ(pointY(c.value, c.yScale), c.y) << c.value << " at full scale " << c.yScale;
}

TEST(PlotPosition, LabelGoesTenRightAndNinetyAboveButStaysInsideTheBox)
{
    EXPECT_NEAR(kPointLabelWidth, 98.35, 0.005);
    const double pulledLeft = kPlotWidth - kPointLabelWidth; // 506.65
    const struct {
        GraphPoint point;
        double boxWidth;
        double left;
        double top;
    } cases[] = {
        {{1, 1, 273}, kPlotWidth, 11.0, 183.0},
        {{1, 1, 90}, kPlotWidth, 11.0, 0.0},
        {{1, 1, 40}, kPlotWidth, 11.0, 0.0}, // not -50
        {{1, 496, 300}, kPlotWidth, 506.0, 210.0}, // ends at 604.35: fits
        {{1, 497, 300}, kPlotWidth, pulledLeft, 210.0},
        {{1, 577, 300}, kPlotWidth, pulledLeft, 210.0}, // point 97 of 100: not 587
        {{1, 577, 300}, 500.0, 500.0 - kPointLabelWidth, 210.0},
        {{1, 450, 300}, 500.0, 500.0 - kPointLabelWidth, 210.0}, // fits 605, not 500
        {{1, 1, 543}, kPlotWidth, 11.0, 453.0},
        // points clamped at the limits of 32 bits
        {{1, 7, kIntMin}, kPlotWidth, 17.0, 0.0},
        {{1, 7, kIntMax}, kPlotWidth, 17.0, 2147483557.0},
        {{1, kIntMax, kIntMin}, kPlotWidth, pulledLeft, 0.0},
    };
    for (const auto& c : cases) {
        const LabelPlace place = placeBesidePoint(c.point, c.boxWidth);
        EXPECT_NEAR(place.left, c.left, 1e-9) << c.point.PointX << ", " << c.point.PointY;
        EXPECT_EQ(place.top, c.top) << c.point.PointX << ", " << c.point.PointY;
    }
    EXPECT_NEAR(placeBesidePoint({97, 577, 300}, kPlotWidth).left, 506.65, 0.005);
}

TEST(PlotPosition, PointRecordFindsStaleRecordsButNothingOutsideTheStore)
{
    VarModule vars;
    vars.DataRecords[1].DataText = "old";
    vars.DataCount = 0; // cleared: index 1 is stale but still there
    ASSERT_EQ(pointRecord(vars, {2, 7, 0}), &vars.DataRecords[1]);
    EXPECT_EQ(pointRecord(vars, {1, 1, 0}), &vars.DataRecords[0]);
    EXPECT_EQ(pointRecord(vars, {kMaxRecords, 1, 0}), &vars.DataRecords[kMaxRecords - 1]);
    for (const std::int32_t no : {0, -1, kMaxRecords + 1, kIntMin, kIntMax})
        EXPECT_EQ(pointRecord(vars, {no, 1, 0}), nullptr) << no;
}

} // namespace
} // namespace clampmeter
