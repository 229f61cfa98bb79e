// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shared/var_module.h"

#include <gtest/gtest.h>

#include <memory>

namespace clampmeter {
namespace {

void expectStartValues(const VarModule& vars)
{
    EXPECT_EQ(vars.DataCount, 0);
    EXPECT_EQ(vars.GraphPointCount, 0);
    EXPECT_EQ(vars.GraphStart, 1);
    EXPECT_EQ(vars.XScale, 100);
    EXPECT_EQ(vars.YScale, 600);
    EXPECT_EQ(vars.XStep, 6.0);
    EXPECT_FALSE(vars.GraphBrowsing);
    EXPECT_TRUE(vars.CrossOn);
}

TEST(VarModule, StartsWithEmptyStoreOfFiftyThousandAndStartValues)
{
    auto vars = std::make_unique<VarModule>();
    static_assert(decltype(vars->DataRecords)::size() == 50000);
    static_assert(decltype(vars->GraphPoints)::size() == 1000);
    expectStartValues(*vars);
    const DataRecord& last = vars->DataRecords[49999];
    EXPECT_EQ(last.No, 0);
    EXPECT_EQ(last.Value, 0.0);
    EXPECT_TRUE(last.FunText.empty() && last.DataText.empty() && last.StampText.empty());
}

TEST(VarModule, SetStartValuesResetsCountsButKeepsStaleRecords)
{
    VarModule vars;
    vars.DataRecords[1].No = 2;
    vars.DataRecords[1].DataText = "229.8";
    vars.DataCount = 2;
    vars.GraphPointCount = 7;
    vars.GraphStart = 301;
    vars.XScale = 10;
    vars.YScale = 20;
    vars.XStep = 60.0;
    vars.GraphBrowsing = true;
    vars.CrossOn = false;

    vars.setStartValues();

    expectStartValues(vars);
    EXPECT_EQ(vars.DataRecords[1].DataText, "229.8");
}

} // namespace
} // namespace clampmeter
