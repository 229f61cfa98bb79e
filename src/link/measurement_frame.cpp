// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/measurement_frame.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace clampmeter {
namespace {

constexpr std::array<FunctionEntry, 7> kFunctionTable {{
    {1, "FUN_VAC", "AC", "v", "FREQ", "Hz", 2},
    {2, "FUN_AAC", "AC", "A", "AC", "v", 3},
    {3, "FUN_KW", "AC", "kw", " ", "PG", 4},
    {4, "FUN_KVA", "AC", "kvA", "AC", "kvAr", 5},
    {5, "FUN_KVAR", "AC", "kvAr", "AC", "kvA", 6},
    {6, "FUN_COS", " ", "PF", "", "PG", 7},
    {7, "FUN_ENERGY", "AC", "kwh", "", "", 8},
}};

constexpr std::array<double, 4> kPowersOfTen {1.0, 10.0, 100.0, 1000.0};

// Below this every truncated product fits a 64-bit integer, which prints much faster
// than the general floating-point path.
constexpr double kFastPathLimit = 1e18;

// Longest text: "-" + 42 digits of 3.4e38 × 10^3 + "." — well inside.
constexpr std::size_t kTextBufferSize = 64;

float floatAt(FrameBytes bytes, std::size_t first)
{
    // Assembled by hand so that the byte order does not depend on the host.
    const std::uint32_t bits = static_cast<std::uint32_t>(bytes[first])
        | (static_cast<std::uint32_t>(bytes[first + 1]) << 8)
        | (static_cast<std::uint32_t>(bytes[first + 2]) << 16)
        | (static_cast<std::uint32_t>(bytes[first + 3]) << 24);
    return std::bit_cast<float>(bits);
}

// Writes the decimal digits of an integer-valued, non-negative double; returns the end.
char* writeWholeNumber(char* first, char* last, double magnitude)
{
    if (magnitude < kFastPathLimit) {
        auto n = static_cast<std::uint64_t>(magnitude);
        return std::to_chars(first, last, n).ptr;
    }
    // With precision 0 the fixed form of an integer-valued double is its exact value.
    return std::to_chars(first, last, magnitude, std::chars_format::fixed, 0).ptr;
}

std::string overLimitOr(float v, float limit, int decimals)
{
    return v >= limit ? std::string(kOverLimitText) : truncatedText(v, decimals);
}

// kW, kVA and kVAR: two decimals below 100, one up to the 750 limit.
std::string powerText(float v)
{
    if (v >= 750.0F)
        return std::string(kOverLimitText);
    return truncatedText(v, v >= 100.0F ? 1 : 2);
}

std::string energyText(float v)
{
    if (v >= 9999.0F)
        return std::string(kOverLimitText);
    if (v >= 1000.0F)
        return truncatedText(v, 0);
    if (v >= 100.0F)
        return truncatedText(v, 1);
    if (v >= 10.0F)
        return truncatedText(v, 2);
    return truncatedText(v, 3);
}

// The energy function's secondary display is the hours:minutes counter of bytes 12 and 11.
std::string energyTimeText(FrameBytes bytes)
{
    std::string text = twoDigitText(bytes[12]);
    text += ':';
    text += twoDigitText(bytes[11]);
    return text;
}

void formTexts(MeasurementFrame& frame, FrameBytes bytes, bool noNumber)
{
    const float v = frame.MainValue;
    const float s = frame.SecondaryValue;
    switch (frame.function->code) {
    case 1:
        frame.MainText = overLimitOr(v, 750.0F, 1);
        frame.SecondaryText = overLimitOr(s, 230.0F, 0);
        break;
    case 2:
        frame.MainText = overLimitOr(v, 1000.0F, 1);
        frame.SecondaryText = overLimitOr(s, 750.0F, 1);
        break;
    case 3:
        frame.MainText = powerText(v);
        frame.SecondaryText = noNumber ? std::string(kNoNumberText) : truncatedText(s, 0);
        break;
    case 4:
    case 5:
        frame.MainText = powerText(v);
        frame.SecondaryText = powerText(s);
        break;
    case 6:
        frame.MainText = noNumber ? std::string(kNoNumberText) : truncatedText(v, 3);
        frame.SecondaryText = noNumber ? std::string(kNoNumberText) : truncatedText(s, 0);
        break;
    case kEnergyFunctionCode:
        frame.MainText = energyText(v);
        frame.SecondaryText = energyTimeText(bytes);
        break;
    default:
        break;
    }
}

} // namespace

std::string_view phaseCaption(Phase phase)
{
    switch (phase) {
    case Phase::L1:
        return "@1";
    case Phase::L2:
        return "@2";
    case Phase::L3:
        return "@3";
    case Phase::None:
        break;
    }
    return "";
}

std::span<const FunctionEntry, 7> functionTable()
{
    return kFunctionTable;
}

const FunctionEntry* findFunction(std::uint8_t code)
{
    if (code < 1 || code > kFunctionTable.size())
        return nullptr;
    return &kFunctionTable[code - 1];
}

bool isAcceptedFrame(FrameBytes bytes)
{
    return bytes[0] == kFrameHeader && bytes[1] == kFrameHeader;
}

MeasurementFrame decodeFrame(FrameBytes bytes)
{
    MeasurementFrame frame;
    frame.wiring = bytes[2] == 3;
    switch (bytes[3]) {
    case 1:
        frame.phase = Phase::L1;
        break;
    case 2:
        frame.phase = Phase::L2;
        break;
    case 3:
        frame.phase = Phase::L3;
        break;
    default:
        frame.phase = Phase::None;
        break;
    }
    frame.bat = (bytes[5] & kFlagBat) != 0;
    frame.mr = (bytes[5] & kFlagMr) != 0;
    frame.numberText = twoDigitText(bytes[4]);
    frame.MainValue = floatAt(bytes, 7);
    const std::uint8_t code = bytes[6];
    // The energy function uses bytes 11 and 12 as a counter, not as a float.
    frame.SecondaryValue = code == kEnergyFunctionCode ? 0.0F : floatAt(bytes, 11);
    frame.function = findFunction(code);
    if (frame.function != nullptr)
        formTexts(frame, bytes, (bytes[5] & kFlagNoNumber) != 0);
    return frame;
}

std::string twoDigitText(std::uint8_t n)
{
    std::array<char, 3> digits {};
    char* end = digits.data();
    if (n < 10)
        *end++ = '0';
    end = std::to_chars(end, digits.data() + digits.size(), n).ptr;
    return {digits.data(), end};
}

std::string truncatedText(float v, int decimals)
{
    if (!std::isfinite(v))
        return std::string(kNoNumberText);
    const auto d = static_cast<std::size_t>(std::clamp(decimals, 0, 3));
    // A float has 24 significant bits and 10^3 < 2^10, so the product is exact in a double
    // and truncating it cuts at exactly the decimal the float's bits lie in.
    const double scaled = std::trunc(static_cast<double>(v) * kPowersOfTen[d]);

    std::array<char, kTextBufferSize> buffer {};
    char* const first = buffer.data();
    char* const last = first + buffer.size();
    char* out = first;
    // A negative value that truncates to zero leaves -0.0, which is not below zero.
    if (scaled < 0.0)
        *out++ = '-';

    char* end = writeWholeNumber(out, last, std::fabs(scaled));
    const auto count = static_cast<std::size_t>(end - out);
    if (count <= d) {
        // Leading zeros so that there is an integer digit: "5" with d = 2 becomes "005".
        const std::size_t pad = d + 1 - count;
        std::memmove(out + pad, out, count);
        std::memset(out, '0', pad);
        end += pad;
    }
    if (d == 0)
        return {first, end};

    char* fractionEnd = end;
    while (fractionEnd > end - d && fractionEnd[-1] == '0')
        --fractionEnd;
    if (fractionEnd == end - d)
        return {first, end - d};
    // Open a gap for the point between the integer part and the remaining fraction digits.
    char* const point = end - d;
    std::memmove(point + 1, point, static_cast<std::size_t>(fractionEnd - point));
    *point = '.';
    return {first, fractionEnd + 1};
}

} // namespace clampmeter
