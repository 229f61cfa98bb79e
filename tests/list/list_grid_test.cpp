// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/list_grid.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace clampmeter {
namespace {

class ListGridTest : public testing::Test {
protected:
    /// What the capture step does for a stored reading: count, record, one new row.
    void capture(const char* fun, const char* data, const char* unit = "v")
    {
        ++vars.DataCount;
        DataRecord& r = vars.DataRecords[static_cast<std::size_t>(vars.DataCount - 1)];
        r.No = vars.DataCount;
        r.FunText = fun;
        r.DataText = data;
        r.UnitText = unit;
        r.StampText = "01/05/24\\14:03:0" + std::to_string(vars.DataCount % 10);
        grid.addNewestRow();
    }

    std::vector<std::string> row(int r) const
    {
        std::vector<std::string> cells;
        for (int c = 0; c < ListGrid::kColumns; ++c)
            cells.push_back(grid.text(r, c));
        return cells;
    }

    using Row = std::vector<std::string>;
    const Row kHeader {"NO.", "FUN", "DATA", "UNIT", "TIME"};
    const Row kEmpty {"", "", "", "", ""};

    std::unique_ptr<VarModule> owner = std::make_unique<VarModule>();
    VarModule& vars = *owner;
    ListGrid grid {vars};
};

TEST_F(ListGridTest, StartsWithTheDesignHeaderThenTheWrittenOnesAndOneEmptyRow)
{
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(row(0), (Row {"NO.", "", "", "", ""})) << "only NO. belongs to the grid itself";
    grid.writeHeaders();
    EXPECT_EQ(row(0), kHeader);
    EXPECT_EQ(row(1), kEmpty);
}

TEST_F(ListGridTest, ThreeReadingsMakeFiveRowsNewestFirst)
{
    grid.writeHeaders();
    capture("FUN_VAC", "229.8");
    capture("FUN_AAC", "OL", "A");
    capture("", "", "A");

    ASSERT_EQ(grid.rows(), 5);
    EXPECT_EQ(row(0), kHeader);
    EXPECT_EQ(row(1), (Row {"3", "", "", "A", "01/05/24\\14:03:03"}))
        << "a reading without a function entry lists its number, unit and stamp";
    EXPECT_EQ(row(2), (Row {"2", "FUN_AAC", "OL", "A", "01/05/24\\14:03:02"}));
    EXPECT_EQ(row(3), (Row {"1", "FUN_VAC", "229.8", "v", "01/05/24\\14:03:01"}));
    EXPECT_EQ(row(4), kEmpty);
    EXPECT_EQ(row(5), kEmpty) << "past the last row";
    EXPECT_EQ(grid.recordIndex(1), 2);
    EXPECT_EQ(grid.recordIndex(3), 0);
    EXPECT_EQ(grid.recordIndex(4), -1);
    EXPECT_EQ(grid.recordIndex(0), -1);
}

TEST_F(ListGridTest, ClearLeavesHeaderAndEmptyRowAndTheNextReadingIsRowOne)
{
    grid.writeHeaders();
    capture("FUN_VAC", "229.8");
    capture("FUN_KW", "1.5", "kw");
    vars.DataCount = 0;
    grid.clear();

    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(row(0), kHeader);
    EXPECT_EQ(row(1), kEmpty) << "stale records stay in the store but are not listed";

    capture("FUN_COS", "0.95", "PF");
    ASSERT_EQ(grid.rows(), 3);
    EXPECT_EQ(row(1), (Row {"1", "FUN_COS", "0.95", "PF", "01/05/24\\14:03:01"}));
    EXPECT_EQ(row(2), kEmpty);
    EXPECT_EQ(vars.DataRecords[1].FunText, "FUN_KW");
}

TEST_F(ListGridTest, ClearOnAnEmptyGridIsTheSamePicture)
{
    grid.clear();
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(row(0), kHeader);
}

TEST_F(ListGridTest, AFullStoreListsFiftyThousandRowsOldestLast)
{
    for (int i = 0; i < kMaxRecords; ++i)
        capture("FUN_VAC", "1");
    grid.addNewestRow(); // a reading beyond the limit is never listed
    EXPECT_EQ(grid.rows(), kMaxRecords + 2);
    EXPECT_EQ(grid.text(1, 0), "50000");
    EXPECT_EQ(grid.text(kMaxRecords, 0), "1");
}

TEST(ListGridAlignment, NumbersSitRightAndOtherTextsLeft)
{
    const struct {
        const char* text;
        bool numeric;
    } cases[] = {{"229.8", true}, {"-0.05", true}, {"0", true}, {"12", true}, {"+3", true},
        {".5", true}, {"OL", false}, {"----", false}, {"", false}, {"-", false}, {".", false},
        {"1.2.3", false}, {"FUN_VAC", false}, {"01/05/24\\14:03:07", false}, {"100:07", false}};
    for (const auto& c : cases)
        EXPECT_EQ(isNumericText(c.text), c.numeric) << '"' << c.text << '"';
}

} // namespace
} // namespace clampmeter
