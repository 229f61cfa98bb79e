// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/graph_scales.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace clampmeter {
namespace {

TEST(GraphScales, ChoosersListTheirItemsLargestFirst)
{
    EXPECT_EQ(std::vector<std::string_view>(kXScaleItems.begin(), kXScaleItems.end()),
        (std::vector<std::string_view> {"1000", "500", "200", "100", "50", "20", "10"}));
    EXPECT_EQ(std::vector<std::string_view>(kYScaleItems.begin(), kYScaleItems.end()),
        (std::vector<std::string_view> {"6000", "1200", "600", "120", "60", "12", "6"}));
}

TEST(GraphScales, EveryXItemGivesItsStepAndLabelsForAFullWindow)
{
    const struct {
        std::int32_t graphStart;
        const char* item;
        double xStep;
        XLabelTexts labels;
    } cases[] = {
        {1, "1000", 0.6, {"1", "501", "1000"}}, {1, "500", 1.2, {"1", "251", "500"}},
        {1, "200", 3.0, {"1", "101", "200"}}, {1, "100", 6.0, {"1", "51", "100"}},
        {1, "50", 12.0, {"1", "26", "50"}}, {1, "20", 30.0, {"1", "11", "20"}},
        {1, "10", 60.0, {"1", "6", "10"}}, {301, "50", 12.0, {"301", "326", "350"}},
        {101, "100", 6.0, {"101", "151", "200"}}, {49901, "1000", 0.6, {"49901", "50401", "50900"}},
        {1, "25", 24.0, {"1", "13.5", "25"}}, // the middle is worked out in floating point
    };
    for (const auto& c : cases) {
        const std::int32_t scale = scaleOfItem(c.item);
        EXPECT_EQ(xStepFor(scale), c.xStep) << c.item;
        const XLabelTexts labels = xLabelTexts(c.graphStart, scale);
        EXPECT_EQ(labels.first, c.labels.first) << c.graphStart << " / " << c.item;
        EXPECT_EQ(labels.middle, c.labels.middle) << c.graphStart << " / " << c.item;
        EXPECT_EQ(labels.last, c.labels.last) << c.graphStart << " / " << c.item;
    }
}

TEST(GraphScales, TickLabelsAreTwelfthsOfTheFullScaleAsGeneralNumbers)
{
    using Captions = std::vector<std::string>;
    const struct {
        std::int32_t yScale;
        Captions captions; // labels 1 … 12
    } cases[] = {
        {6, {"0.5", "1", "1.5", "2", "2.5", "3", "3.5", "4", "4.5", "5", "5.5", "6"}},
        {12, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}},
        {60, {"5", "10", "15", "20", "25", "30", "35", "40", "45", "50", "55", "60"}},
        {120, {"10", "20", "30", "40", "50", "60", "70", "80", "90", "100", "110", "120"}},
        {600, {"50", "100", "150", "200", "250", "300", "350", "400", "450", "500", "550", "600"}},
        {1200,
            {"100", "200", "300", "400", "500", "600", "700", "800", "900", "1000", "1100",
                "1200"}},
        {6000,
            {"500", "1000", "1500", "2000", "2500", "3000", "3500", "4000", "4500", "5000", "5500",
                "6000"}},
    };
    for (const auto& c : cases) {
        Captions captions;
        for (int k = 1; k < kYLabels; ++k)
            captions.push_back(yLabelText(k, c.yScale));
        EXPECT_EQ(captions, c.captions) << c.yScale;
    }
}

TEST(GraphScales, GeneralNumbersAreShortWithADigitBeforeThePoint)
{
    const struct {
        double value;
        const char* text;
    } cases[]
        = {{0.5, "0.5"}, {1.0, "1"}, {5.5, "5.5"}, {51.0, "51"}, {100.0, "100"}, {0.25, "0.25"},
            {0.1, "0.1"}, {326.0, "326"}, {50401.0, "50401"}, {-0.0, "0"}, {-2.5, "-2.5"}};
    for (const auto& c : cases)
        EXPECT_EQ(generalNumber(c.value), c.text) << c.value;
}

TEST(GraphScales, OnlyAPositiveWholeNumberTextIsAScale)
{
    for (const std::string_view item : kXScaleItems)
        EXPECT_EQ(std::to_string(scaleOfItem(item)), item);
    for (const std::string_view item : kYScaleItems)
        EXPECT_EQ(std::to_string(scaleOfItem(item)), item);
    EXPECT_EQ(scaleOfItem("250"), 250) << "any whole number; the list decides what is offered";

    for (const char* text :
        {"", "abc", "0", "-600", "100 ", " 100", "100abc", "1e3", "10.5", "+100", "99999999999"})
        EXPECT_EQ(scaleOfItem(text), 0) << '"' << text << '"';
}

} // namespace
} // namespace clampmeter
