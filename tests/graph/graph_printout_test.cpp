// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/graph_printout.h"

#include "recording_printer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace clampmeter {
namespace {

using test::PrintedItem;
using test::RecordingPrinter;

class GraphPrintoutTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (int k = 0; k < kYLabels; ++k)
            captions.yLabels[static_cast<std::size_t>(k)] = std::to_string(50 * k);
        captions.xLabels = {"1", "51", "100"};
    }

    void plot(std::initializer_list<std::pair<int, int>> points)
    {
        vars->GraphPointCount = 0;
        for (const auto& [x, y] : points)
            vars->GraphPoints[static_cast<std::size_t>(vars->GraphPointCount++)] = {1, x, y};
    }

    std::vector<PrintedItem> itemsOf(PrintedItem::Kind kind) const
    {
        std::vector<PrintedItem> found;
        for (const PrintedItem& item : printer().items)
            if (item.kind == kind)
                found.push_back(item);
        return found;
    }

    std::unique_ptr<VarModule> vars = std::make_unique<VarModule>();
    GraphCaptions captions;
    void freshPrinter() { m_printer = std::make_unique<RecordingPrinter>(); }
    RecordingPrinter& printer() const { return *m_printer; }

private:
    std::unique_ptr<RecordingPrinter> m_printer = std::make_unique<RecordingPrinter>();
};

long whole(double twips)
{
    return std::lround(twips);
}

TEST_F(GraphPrintoutTest, TitleStampAndCaptionsLandAtTheirPaperPositions)
{
    ASSERT_TRUE(printGraph(*vars, captions, printer(), "10/12/26 14:03:07"));
    EXPECT_TRUE(printer().ended);
    EXPECT_EQ(printer().orientations, std::vector {PaperOrientation::Landscape});
    const std::vector<PrintedItem> texts = itemsOf(PrintedItem::Kind::Text);
    ASSERT_EQ(texts.size(), 2U + 13U + 5U);
    EXPECT_EQ(texts[0].text, "KR-610 Graph Report");
    EXPECT_EQ(texts[0].font, (test::PrintedFont {"Arial", 24.0, true}));
    EXPECT_EQ(texts[1].text, "10/12/26 14:03:07");
    EXPECT_EQ(texts[1].x, 7000.0);
    EXPECT_EQ(texts[1].y, 1200.0);

    const struct {
        const char* caption;
        long x, y;
    } table[] = {{"0", 3247, 10240}, {"50", 3142, 9625}, {"100", 3038, 8950}, {"600", 3038, 2200},
        {"1", 3456, 10480}, {"51", 7900, 10480}, {"100", 12178, 10480}, {"X", 12312, 10720},
        {"Y", 2754, 2200}};
    const std::size_t printedAt[] = {2, 3, 4, 14, 15, 16, 17, 18, 19};
    for (std::size_t i = 0; i < std::size(table); ++i) {
        const PrintedItem& text = texts[printedAt[i]];
        SCOPED_TRACE(table[i].caption);
        EXPECT_EQ(text.text, table[i].caption);
        EXPECT_EQ(whole(text.x), table[i].x);
        EXPECT_EQ(whole(text.y), table[i].y);
        EXPECT_EQ(text.font, (test::PrintedFont {"Arial", 10.0, false}));
    }
}

TEST_F(GraphPrintoutTest, FrameCentreLineAndGridFollowCross)
{
    for (const bool cross : {true, false}) {
        SCOPED_TRACE(cross);
        freshPrinter();
        vars->CrossOn = cross;
        ASSERT_TRUE(printGraph(*vars, captions, printer(), "now"));
        const std::vector<PrintedItem> lines = itemsOf(PrintedItem::Kind::Line);
        ASSERT_EQ(lines.size(), 1U + (cross ? 12U : 0U) + 4U);
        const PrintedItem& centre = lines[0];
        EXPECT_EQ(centre.style, LineStyle::Dotted);
        EXPECT_EQ(whole(centre.x), 8019);
        EXPECT_EQ(whole(centre.y), 2200);
        EXPECT_EQ(whole(centre.y2), 10375);
        if (cross) {
            for (int i = 0; i < 12; ++i) {
                const PrintedItem& grid = lines[static_cast<std::size_t>(1 + i)];
                EXPECT_EQ(grid.style, LineStyle::Dotted);
                EXPECT_EQ(whole(grid.y), 2245 + 675 * i);
                EXPECT_EQ(whole(grid.x), 3456);
                EXPECT_EQ(whole(grid.x2), 12581);
            }
        }
        const PrintedItem& top = lines[lines.size() - 4];
        const PrintedItem& right = lines.back();
        EXPECT_EQ(top.style, LineStyle::Solid);
        EXPECT_EQ(whole(top.x), 3456);
        EXPECT_EQ(whole(top.x2), 12581);
        EXPECT_EQ(whole(right.x), 12581);
        EXPECT_EQ(whole(right.y2), 10375);
    }
}

TEST_F(GraphPrintoutTest, CurveDrawsEveryPointWithAFilledDot)
{
    plot({});
    ASSERT_TRUE(printGraph(*vars, captions, printer(), "now"));
    EXPECT_TRUE(itemsOf(PrintedItem::Kind::Circle).empty());

    freshPrinter();
    plot({{1, 543}});
    ASSERT_TRUE(printGraph(*vars, captions, printer(), "now"));
    const std::vector<PrintedItem> one = itemsOf(PrintedItem::Kind::Circle);
    ASSERT_EQ(one.size(), 1U);
    EXPECT_EQ(whole(one[0].x), 3471);
    EXPECT_EQ(whole(one[0].y), 10345);
    EXPECT_EQ(one[0].x2, 30.0);
    EXPECT_TRUE(one[0].filled);
    EXPECT_EQ(itemsOf(PrintedItem::Kind::Line).size(), 17U); // no curve line

    freshPrinter();
    plot({{1, 543}, {601, 3}});
    ASSERT_TRUE(printGraph(*vars, captions, printer(), "now"));
    const std::vector<PrintedItem> lines = itemsOf(PrintedItem::Kind::Line);
    const PrintedItem& segment = lines.back();
    EXPECT_EQ(whole(segment.x), 12471);
    EXPECT_EQ(whole(segment.y), 2245);
    EXPECT_EQ(whole(segment.x2), 3471);
    EXPECT_EQ(whole(segment.y2), 10345);
    EXPECT_EQ(segment.style, LineStyle::Solid);
    EXPECT_EQ(itemsOf(PrintedItem::Kind::Circle).size(), 2U);
}

TEST_F(GraphPrintoutTest, PointsFarOffThePageAreCutAtItsEdge)
{
    plot({{1, 273}, {7, 2147483647}, {13, -2147483647 - 1}});
    ASSERT_TRUE(printGraph(*vars, captions, printer(), "now"));
    for (const PrintedItem& line : itemsOf(PrintedItem::Kind::Line)) {
        for (const double x : {line.x, line.x2})
            EXPECT_TRUE(x >= 0.0 && x <= 16838.0) << x;
        for (const double y : {line.y, line.y2})
            EXPECT_TRUE(y >= 0.0 && y <= 11906.0) << y;
    }
    EXPECT_EQ(itemsOf(PrintedItem::Kind::Circle).size(), 1U);
}

TEST_F(GraphPrintoutTest, TheCurveIsCutAtThePlotFrameAsTheWindowCutsIt)
{
    // The frame on paper: the plot box's place and size in window units, 15 twips a unit.
    const double left = 15.0 * (960.0 / (10395.0 / 690.0)) + 2500.0;
    const double right = left + 15.0 * (9165.0 / (10395.0 / 690.0));
    const double top = 2200.0;
    const double bottom = top + 8175.0;
    struct Case {
        const char* what;
        std::initializer_list<std::pair<int, int>> points;
    };
    const Case cases[] = {
        {"a reading above full scale", {{1, 273}, {7, -400}, {13, 273}}},
        {"a reading far below zero", {{1, 273}, {7, 900}}},
        {"points right of a lowered X scale", {{590, 273}, {660, 100}, {720, 50}}},
        {"a dot on the frame's edge", {{0, 273}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        freshPrinter();
        plot(c.points);
        ASSERT_TRUE(printGraph(*vars, captions, printer(), "now"));
        int curveItems = 0;
        for (const PrintedItem& item : printer().items) {
            if (item.kind == PrintedItem::Kind::Text || !item.filled)
                continue; // captions and the frame come before the curve
            ++curveItems;
            ASSERT_TRUE(item.clip.has_value());
            EXPECT_NEAR(item.clip->x, left, 0.01);
            EXPECT_NEAR(item.clip->y, top, 0.01);
            EXPECT_NEAR(item.clip->x + item.clip->width, right, 0.01);
            EXPECT_NEAR(item.clip->y + item.clip->height, bottom, 0.01);
            if (item.kind == PrintedItem::Kind::Line) {
                for (const double x : {item.x, item.x2})
                    EXPECT_TRUE(x >= left - 1e-6 && x <= right + 1e-6) << x;
                for (const double y : {item.y, item.y2})
                    EXPECT_TRUE(y >= top - 1e-6 && y <= bottom + 1e-6) << y;
            } else {
                EXPECT_TRUE(item.x >= left - 30.0 && item.x <= right + 30.0) << item.x;
                EXPECT_TRUE(item.y >= top - 30.0 && item.y <= bottom + 30.0) << item.y;
            }
        }
        EXPECT_GT(curveItems, 0);
    }
}

TEST_F(GraphPrintoutTest, AFailureEndsThePageAtOnce)
{
    plot({{1, 543}, {601, 3}});
    printer().failAtCall = 3;
    EXPECT_FALSE(printGraph(*vars, captions, printer(), "now"));
    EXPECT_FALSE(printer().ended);
}

} // namespace
} // namespace clampmeter
