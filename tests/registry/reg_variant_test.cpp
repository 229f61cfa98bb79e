// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "registry/reg_variant.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

namespace clampmeter {
namespace {

TEST(RegVariant, ToTextWritesEveryKindOfValue)
{
    struct Row {
        RegVariant value;
        std::string text;
    };
    const Row rows[] = {
        {RegVariant {}, ""},
        {std::string("abc"), "abc"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        {42, "42"},
        {std::numeric_limits<std::int32_t>::min(), "-2147483648"},
        {2.5, "2.5"},
        {0.1, "0.1"},
        {-3.0, "-3"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(regVariantToText(row.value), row.text);
}

TEST(RegVariant, ToLongReadsNumbersAndRoundsHalvesToEven)
{
    struct Row {
        RegVariant value;
        std::int32_t number;
    };
    const Row rows[] = {
        {RegVariant {}, 0},
        {42, 42},
        {std::string("42"), 42},
        {std::string(" \t42 "), 42},
        {std::string("+7"), 7},
        {std::string("-2147483648"), std::numeric_limits<std::int32_t>::min()},
        {std::string("2147483647"), std::numeric_limits<std::int32_t>::max()},
        {std::string("2147483647.4"), std::numeric_limits<std::int32_t>::max()},
        {std::string("4.5"), 4},
        {std::string("5.5"), 6},
        {std::string("-4.5"), -4},
        {std::string("1e3"), 1000},
        {2.5, 2},
        {3.5, 4},
        {-0.5, 0},
        {2.51, 3},
    };
    for (const Row& row : rows)
        EXPECT_EQ(regVariantToLong(row.value), row.number) << regVariantToText(row.value);
}

TEST(RegVariant, ToLongRefusesWhatIsNoNumberOrDoesNotFit)
{
    const RegVariant noNumber[] = {std::string(""), std::string("  "), std::string("abc"),
        std::string("42abc"), std::string("4 2"), std::string("+-5"), std::string("+"),
        std::string("0x10"), std::string("nan"), std::string("inf"), std::string("-infinity"),
        std::string("4\0002", 3)};
    for (const RegVariant& value : noNumber)
        EXPECT_THROW(regVariantToLong(value), std::invalid_argument) << regVariantToText(value);

    const RegVariant tooLarge[] = {std::string("2147483648"), std::string("-2147483649"),
        std::string("2147483647.5"), std::string("1e999"), 2147483647.5, -2147483648.6,
        std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()};
    for (const RegVariant& value : tooLarge)
        EXPECT_THROW(regVariantToLong(value), std::out_of_range) << regVariantToText(value);
}

} // namespace
} // namespace clampmeter
