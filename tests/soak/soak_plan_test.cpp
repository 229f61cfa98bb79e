// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "soak_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace clampmeter::soak {
namespace {

std::vector<StoredTexts> records(const std::string& letters)
{
    std::vector<StoredTexts> result;
    for (const char c : letters)
        result.push_back({"FUN_VAC", std::string(1, c), "v"});
    return result;
}

TEST(SoakComparison, CountsEachLossAndEachStrayRecordOnceWithoutShiftingTheRest)
{
    struct Case {
        const char* expected;
        const char* stored;
        int matched, lost, wrong;
    };
    const Case cases[] = {
        {"abcdef", "abcdef", 6, 0, 0},
        {"abcdef", "abdef", 5, 1, 0},
        {"abcdef", "abcXdef", 6, 0, 1},
        {"abcdef", "abXdf", 4, 2, 1},
        {"abcdef", "", 0, 6, 0},
        {"", "ab", 0, 0, 2},
        {"abcdef", "abcd", 4, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.expected) + " / " + c.stored);
        const SoakComparison result = compareRecords(records(c.expected), records(c.stored));
        EXPECT_EQ(result.matched, c.matched);
        EXPECT_EQ(result.lost, c.lost);
        EXPECT_EQ(result.wronglyAccepted, c.wrong);
    }
}

TEST(SoakPlan, ExpectsEveryFrameSentAloneExceptTheOneAfterStrayBytes)
{
    const SoakPlan plan = planSoak(80, 5, std::chrono::milliseconds(100), 10);
    EXPECT_EQ(plan.frames, 80);
    EXPECT_EQ(plan.faults, 6);
    EXPECT_EQ(plan.silences, 2);
    for (std::size_t i = 0; i < plan.steps.size(); ++i) {
        const SoakStep& step = plan.steps[i];
        const bool afterStray = i > 0 && plan.steps[i - 1].burst.kind == BurstKind::StrayBytes;
        EXPECT_EQ(step.mustBeStored, step.burst.kind == BurstKind::Frame && !afterStray) << i;
    }
    EXPECT_EQ(expectedRecords(plan, "v").size(), 80U - 2U);
}

TEST(SoakExport, ReadsTheTextsOfEveryRecordLine)
{
    const std::string file = "NO.;FUN;DATA;UNIT;TIME;DATE\r\n"
                             " 1;FUN_VAC;229.8;v;14:03:07;10/12/26\r\n"
                             " 2;;;v;14:03:08;10/12/26\r\n";
    const std::vector<StoredTexts> read = recordsOfExport(file);
    ASSERT_EQ(read.size(), 2U);
    EXPECT_EQ(read[0], (StoredTexts {"FUN_VAC", "229.8", "v"}));
    EXPECT_EQ(read[1], (StoredTexts {"", "", "v"}));
}

} // namespace
} // namespace clampmeter::soak
