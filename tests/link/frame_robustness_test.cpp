// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/measurement_frame.h"

#include "decoder_frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace clampmeter {
namespace {

using test::FrameArray;

bool isDigits(std::string_view text)
{
    return !text.empty()
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A shown number: optional minus, whole digits, and a fraction only if it does not end in 0.
bool isReadingNumber(std::string_view text)
{
    const bool negative = text.starts_with('-');
    if (negative)
        text.remove_prefix(1);
    const auto point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    if (!isDigits(whole) || (whole.size() > 1 && whole.front() == '0'))
        return false;
    if (point != std::string_view::npos) {
        const std::string_view fraction = text.substr(point + 1);
        if (!isDigits(fraction) || fraction.size() > 3 || fraction.back() == '0')
            return false;
    }
    // "-0" would show a sign on nothing.
    return !negative || text.find_first_of("123456789") != std::string_view::npos;
}

bool isReadingText(std::string_view text)
{
    return text == kOverLimitText || text == kNoNumberText || isReadingNumber(text);
}

bool isCounterText(std::string_view text)
{
    const auto colon = text.find(':');
    return colon != std::string_view::npos && isDigits(text.substr(0, colon))
        && isDigits(text.substr(colon + 1));
}

std::string describe(const FrameArray& bytes)
{
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string hex = "frame ";
    for (const std::uint8_t b : bytes) {
        hex += kHex[b >> 4];
        hex += kHex[b & 0xF];
        hex += ' ';
    }
    return hex;
}

void expectWellFormed(const FrameArray& bytes)
{
    const MeasurementFrame frame = decodeFrame(bytes);
    ASSERT_GE(frame.numberText.size(), 2U) << describe(bytes);
    if (frame.function == nullptr) {
        ASSERT_TRUE(frame.MainText.empty() && frame.SecondaryText.empty()) << describe(bytes);
        return;
    }
    ASSERT_EQ(frame.function->code, bytes[6]) << describe(bytes);
    ASSERT_TRUE(isReadingText(frame.MainText)) << describe(bytes) << "main " << frame.MainText;
    if (bytes[6] == 7) {
        ASSERT_TRUE(isCounterText(frame.SecondaryText)) << describe(bytes) << frame.SecondaryText;
        ASSERT_EQ(frame.SecondaryValue, 0.0F) << describe(bytes);
    } else {
        ASSERT_TRUE(isReadingText(frame.SecondaryText))
            << describe(bytes) << "secondary " << frame.SecondaryText;
    }
}

TEST(MeasurementFrameRobustness, EveryFlagsAndFunctionByteDecodesWellFormed)
{
    std::mt19937 random(20260112);
    std::uniform_int_distribution<int> anyByte(0, 255);
    for (int flags = 0; flags <= 255 && !HasFailure(); ++flags) {
        for (int code = 0; code <= 255 && !HasFailure(); ++code) {
            FrameArray bytes {};
            for (std::uint8_t& b : bytes)
                b = static_cast<std::uint8_t>(anyByte(random));
            bytes[5] = static_cast<std::uint8_t>(flags);
            bytes[6] = static_cast<std::uint8_t>(code);
            expectWellFormed(bytes);
        }
    }
}

TEST(MeasurementFrameRobustness, RandomFramesDecodeWellFormed)
{
    std::mt19937 random(20260113);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<int> knownCode(1, 7);
    for (int i = 0; i < 200'000 && !HasFailure(); ++i) {
        FrameArray bytes {};
        for (std::uint8_t& b : bytes)
            b = static_cast<std::uint8_t>(anyByte(random));
        // Most frames get a known function so that the text rules run on random floats.
        if (i % 8 != 0)
            bytes[6] = static_cast<std::uint8_t>(knownCode(random));
        expectWellFormed(bytes);
    }
}

} // namespace
} // namespace clampmeter
