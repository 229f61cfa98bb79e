// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/measurement_frame.h"

#include "decoder_frames.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace clampmeter {
namespace {

using test::buildFrame;
using test::FrameArray;
using test::FrameSpec;

constexpr float kInf = std::numeric_limits<float>::infinity();

float floatFromBits(std::uint32_t bits)
{
    return std::bit_cast<float>(bits);
}

TEST(MeasurementFrameDecoding, VoltageExampleFrameGivesAllItems)
{
    // The float nearest 229.9 lies just below it, so one decimal reads 229.8.
    const std::vector<std::array<std::uint8_t, 2>> trailers {
        {0x00, 0x00}, {0xFF, 0xFF}, {0x68, 0x68}, {0x12, 0x34}};
    for (const auto& trailer : trailers) {
        const FrameArray bytes {0x68, 0x68, 0x00, 0x00, 0x05, 0x00, 0x01, 0x66, 0xE6, 0x65, 0x43,
            0x00, 0x00, 0x48, 0x42, trailer[0], trailer[1]};
        SCOPED_TRACE(
            testing::Message() << "bytes 15/16 = " << int(trailer[0]) << "," << int(trailer[1]));
        ASSERT_TRUE(isAcceptedFrame(bytes));
        const MeasurementFrame frame = decodeFrame(bytes);
        ASSERT_NE(frame.function, nullptr);
        EXPECT_EQ(frame.function->id, "FUN_VAC");
        EXPECT_EQ(frame.MainText, "229.8");
        EXPECT_EQ(frame.SecondaryText, "50");
        EXPECT_EQ(frame.numberText, "05");
        EXPECT_FALSE(frame.wiring);
        EXPECT_EQ(frame.phase, Phase::None);
        EXPECT_FALSE(frame.bat);
        EXPECT_FALSE(frame.mr);
        EXPECT_EQ(frame.MainValue, 229.9F);
        EXPECT_EQ(frame.SecondaryValue, 50.0F);
    }
}

struct TextCase {
    const char* name;
    std::uint8_t code;
    std::uint8_t flags;
    float main;
    float secondary;
    const char* mainText;
    const char* secondaryText;
};

// Limits are compared with >=, on the float value; bands below them cut decimals.
const TextCase kTextCases[] = {
    {"vac_typical", 1, 0, 229.9F, 50.0F, "229.8", "50"},
    {"vac_main_at_limit", 1, 0, 750.0F, 50.0F, "OL", "50"},
    {"vac_main_below_limit", 1, 0, std::nextafter(750.0F, 0.0F), 49.9F, "749.9", "49"},
    {"vac_secondary_at_limit", 1, 0, 230.0F, 230.0F, "230", "OL"},
    {"vac_secondary_below_limit", 1, 0, 230.0F, 229.9F, "230", "229"},
    {"aac_750_is_a_number", 2, 0, 750.0F, 0.0F, "750", "0"},
    {"aac_secondary_has_its_own_limit", 2, 0, 800.0F, 230.0F, "800", "230"},
    {"aac_main_at_limit", 2, 0, 1000.0F, 750.0F, "OL", "OL"},
    {"aac_float_below_decimal", 2, 0, 220.7F, 220.7F, "220.6", "220.6"},
    {"kw_over", 3, 0, 750.0F, 5.0F, "OL", "5"},
    {"kw_one_decimal_band", 3, 0, 100.0F, 3.7F, "100", "3"},
    {"kw_two_decimal_band", 3, 0, 99.99F, 0.0F, "99.98", "0"},
    {"kw_negative_lowest_band", 3, 0, -5.0F, -5.0F, "-5", "-5"},
    {"kw_flag_hides_secondary_only", 3, 0x04, 12.345F, 7.0F, "12.34", "----"},
    {"kw_huge_negative_is_exact", 3, 0, -3.0e38F, 0.0F, "-300000000549775575777803994281145270272",
        "0"},
    {"kva_secondary_bands", 4, 0, 123.45F, 5.5F, "123.4", "5.5"},
    {"kva_secondary_over", 4, 0x04, 0.5F, 750.0F, "0.5", "OL"},
    {"kvar_like_kva", 5, 0, 749.99F, 99.99F, "749.9", "99.98"},
    {"cos_three_decimals", 6, 0, 0.9F, 50.0F, "0.899", "50"},
    {"cos_flag_hides_both", 6, 0x04, 0.9F, 50.0F, "----", "----"},
    {"cos_flag_with_other_bits", 6, 0xFF, 1.0F, 1.0F, "----", "----"},
    {"vac_ignores_no_number_flag", 1, 0x04, 229.9F, 50.0F, "229.8", "50"},
    {"energy_three_decimals", 7, 0, 9.9999F, 0.0F, "9.999", "00:00"},
    {"energy_two_decimals", 7, 0, 10.0F, 0.0F, "10", "00:00"},
    {"energy_one_decimal", 7, 0, 12.5F, 0.0F, "12.5", "00:00"},
    {"energy_one_decimal_top", 7, 0, 999.99F, 0.0F, "999.9", "00:00"},
    {"energy_no_decimals", 7, 0, 1500.9F, 0.0F, "1500", "00:00"},
    {"energy_below_limit", 7, 0, 9998.9F, 0.0F, "9998", "00:00"},
    {"energy_at_limit", 7, 0, 9999.0F, 0.0F, "OL", "00:00"},
    {"energy_negative", 7, 0, -1.5F, 0.0F, "-1.5", "00:00"},
};

// The chosen display of floats that are not finite numbers: +infinity is over every
// limit; wherever a number would be printed from a non-finite value, "----".
const TextCase kNonFiniteCases[] = {
    {"vac_plus_inf_over", 1, 0, kInf, kInf, "OL", "OL"},
    {"vac_minus_inf", 1, 0, -kInf, -kInf, "----", "----"},
    {"vac_quiet_nan", 1, 0, floatFromBits(0x7FC00000), floatFromBits(0x7FC00001), "----", "----"},
    {"aac_negative_nan", 2, 0, floatFromBits(0xFFFFFFFF), floatFromBits(0xFFC00000), "----",
        "----"},
    {"kw_signalling_nan", 3, 0, floatFromBits(0x7F800001), kInf, "----", "----"},
    {"kw_plus_inf_main_over", 3, 0, kInf, 1.0F, "OL", "1"},
    {"kva_plus_inf_both_over", 4, 0, kInf, kInf, "OL", "OL"},
    {"cos_plus_inf_has_no_limit", 6, 0, kInf, kInf, "----", "----"},
    {"energy_plus_inf_over", 7, 0, kInf, 0.0F, "OL", "00:00"},
    {"energy_nan", 7, 0, floatFromBits(0x7FAAAAAA), 0.0F, "----", "00:00"},
};

// Keeps the generated test names readable in CTest.
void PrintTo(const TextCase& c, std::ostream* os)
{
    *os << c.name;
}

class MeasurementFrameTexts : public testing::TestWithParam<TextCase> { };

TEST_P(MeasurementFrameTexts, FormsMainAndSecondaryText)
{
    const TextCase& c = GetParam();
    const FrameArray bytes
        = buildFrame({.flags = c.flags, .code = c.code, .main = c.main, .secondary = c.secondary});
    const MeasurementFrame frame = decodeFrame(bytes);
    ASSERT_NE(frame.function, nullptr);
    EXPECT_EQ(frame.function->code, c.code);
    EXPECT_EQ(frame.MainText, c.mainText);
    EXPECT_EQ(frame.SecondaryText, c.secondaryText);
    // The raw float is kept whatever the display shows, NaN payloads included.
    EXPECT_EQ(std::bit_cast<std::uint32_t>(frame.MainValue), std::bit_cast<std::uint32_t>(c.main));
    if (c.code != 7) {
        EXPECT_EQ(std::bit_cast<std::uint32_t>(frame.SecondaryValue),
            std::bit_cast<std::uint32_t>(c.secondary));
    }
}

std::string caseName(const testing::TestParamInfo<TextCase>& info)
{
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Rules, MeasurementFrameTexts, testing::ValuesIn(kTextCases), caseName);
INSTANTIATE_TEST_SUITE_P(
    NonFinite, MeasurementFrameTexts, testing::ValuesIn(kNonFiniteCases), caseName);

TEST(MeasurementFrameDecoding, EnergyCounterComesFromBytes12And11)
{
    struct Case {
        std::uint8_t hours;
        std::uint8_t minutes;
        const char* text;
    };
    const Case cases[] = {{0, 0, "00:00"}, {1, 5, "01:05"}, {100, 7, "100:07"}, {9, 59, "09:59"},
        {255, 255, "255:255"}};
    for (const Case& c : cases) {
        FrameArray bytes = buildFrame({.code = 7, .main = 12.5F});
        bytes[11] = c.minutes;
        bytes[12] = c.hours;
        // Bytes 13 and 14 are not part of the counter and the four bytes are no float.
        bytes[13] = 0xC3;
        bytes[14] = 0x7F;
        const MeasurementFrame frame = decodeFrame(bytes);
        EXPECT_EQ(frame.SecondaryText, c.text);
        EXPECT_EQ(frame.SecondaryValue, 0.0F);
        EXPECT_EQ(frame.MainText, "12.5");
    }
}

TEST(MeasurementFrameDecoding, NumberByteByTwoDigitRule)
{
    struct Case {
        std::uint8_t number;
        const char* text;
    };
    const Case cases[] = {{0, "00"}, {7, "07"}, {9, "09"}, {10, "10"}, {42, "42"}, {99, "99"},
        {100, "100"}, {255, "255"}};
    for (const Case& c : cases) {
        EXPECT_EQ(decodeFrame(buildFrame({.number = c.number})).numberText, c.text);
        EXPECT_EQ(twoDigitText(c.number), c.text);
    }
}

TEST(MeasurementFrameDecoding, FunctionCodeOutsideTableIsAcceptedWithEmptyTexts)
{
    for (const std::uint8_t code : {0, 8, 9, 0x68, 255}) {
        const FrameArray bytes = buildFrame({.wiring = 3,
            .phase = 2,
            .number = 4,
            .flags = 0x07,
            .code = code,
            .main = 229.9F,
            .secondary = 50.0F});
        SCOPED_TRACE(testing::Message() << "code " << int(code));
        ASSERT_TRUE(isAcceptedFrame(bytes));
        const MeasurementFrame frame = decodeFrame(bytes);
        EXPECT_EQ(frame.function, nullptr);
        EXPECT_EQ(frame.MainText, "");
        EXPECT_EQ(frame.SecondaryText, "");
        // Everything that does not depend on the function is still decoded.
        EXPECT_EQ(frame.numberText, "04");
        EXPECT_TRUE(frame.wiring && frame.bat && frame.mr);
        EXPECT_EQ(frame.phase, Phase::L2);
        EXPECT_EQ(frame.MainValue, 229.9F);
        EXPECT_EQ(frame.SecondaryValue, 50.0F);
    }
}

TEST(MeasurementFrameDecoding, FlagBitsZeroAndOneShowBatAndMr)
{
    struct Case {
        std::uint8_t flags;
        bool bat;
        bool mr;
    };
    const Case cases[] = {{0x00, false, false}, {0x01, true, false}, {0x02, false, true},
        {0x03, true, true}, {0x04, false, false}, {0xF8, false, false}, {0xFF, true, true}};
    for (const Case& c : cases) {
        const MeasurementFrame frame = decodeFrame(buildFrame({.flags = c.flags}));
        EXPECT_EQ(frame.bat, c.bat) << "flags " << int(c.flags);
        EXPECT_EQ(frame.mr, c.mr) << "flags " << int(c.flags);
    }
}

TEST(MeasurementFrameDecoding, PhaseAndWiringBytes)
{
    struct PhaseCase {
        std::uint8_t byte;
        Phase phase;
        const char* caption;
    };
    const PhaseCase phases[] = {{0, Phase::None, ""}, {1, Phase::L1, "@1"}, {2, Phase::L2, "@2"},
        {3, Phase::L3, "@3"}, {4, Phase::None, ""}, {255, Phase::None, ""}};
    for (const PhaseCase& c : phases) {
        const MeasurementFrame frame = decodeFrame(buildFrame({.phase = c.byte}));
        EXPECT_EQ(frame.phase, c.phase) << "phase byte " << int(c.byte);
        EXPECT_EQ(phaseCaption(frame.phase), c.caption);
    }
    for (int wiring = 0; wiring <= 255; ++wiring) {
        const auto byte = static_cast<std::uint8_t>(wiring);
        EXPECT_EQ(decodeFrame(buildFrame({.wiring = byte})).wiring, wiring == 3);
    }
}

TEST(MeasurementFrameAcceptance, OnlyBothHeaderBytesCount)
{
    struct Case {
        std::uint8_t first;
        std::uint8_t second;
        bool accepted;
    };
    const Case cases[] = {{0x68, 0x68, true}, {0x68, 0x00, false}, {0x00, 0x68, false},
        {0x86, 0x86, false}, {0x68, 0x69, false}, {0xE8, 0x68, false}};
    for (const Case& c : cases) {
        FrameArray bytes {};
        bytes.fill(0xFF);
        bytes[0] = c.first;
        bytes[1] = c.second;
        EXPECT_EQ(isAcceptedFrame(bytes), c.accepted) << int(c.first) << " " << int(c.second);
    }
}

TEST(FunctionTable, CaptionsAreExact)
{
    // A single space and an empty caption are different texts; both must survive.
    const FunctionEntry expected[] = {
        {1, "FUN_VAC", "AC", "v", "FREQ", "Hz", 2},
        {2, "FUN_AAC", "AC", "A", "AC", "v", 3},
        {3, "FUN_KW", "AC", "kw", " ", "PG", 4},
        {4, "FUN_KVA", "AC", "kvA", "AC", "kvAr", 5},
        {5, "FUN_KVAR", "AC", "kvAr", "AC", "kvA", 6},
        {6, "FUN_COS", " ", "PF", "", "PG", 7},
        {7, "FUN_ENERGY", "AC", "kwh", "", "", 8},
    };
    const auto table = functionTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        const FunctionEntry& want = expected[i];
        const FunctionEntry& got = table[i];
        SCOPED_TRACE(std::string(want.id));
        EXPECT_EQ(got.code, want.code);
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.classCaption, want.classCaption);
        EXPECT_EQ(got.unitCaption, want.unitCaption);
        EXPECT_EQ(got.secondaryClassCaption, want.secondaryClassCaption);
        EXPECT_EQ(got.secondaryUnitCaption, want.secondaryUnitCaption);
        EXPECT_EQ(got.dialPicture, want.dialPicture);
        EXPECT_EQ(findFunction(want.code), &got);
        EXPECT_EQ(decodeFrame(buildFrame({.code = want.code})).function, &got);
    }
    EXPECT_EQ(findFunction(0), nullptr);
    EXPECT_EQ(findFunction(8), nullptr);
    EXPECT_EQ(findFunction(255), nullptr);
}

} // namespace
} // namespace clampmeter
