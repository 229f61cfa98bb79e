// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/measurement_frame.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace clampmeter {
namespace {

// An independent reference: the float's exact value m × 2^e times 10^d, expanded with a
// small big integer in base 10^9, then cut toward zero and written out by hand.
class BigDecimal {
public:
    explicit BigDecimal(std::uint64_t n)
    {
        do {
            m_limbs.push_back(static_cast<std::uint32_t>(n % kBase));
            n /= kBase;
        } while (n != 0);
    }

    void doubleTimes(int count)
    {
        while (count > 0) {
            const int step = std::min(count, 29);
            std::uint64_t carry = 0;
            for (std::uint32_t& limb : m_limbs) {
                const std::uint64_t x = (std::uint64_t {limb} << step) + carry;
                limb = static_cast<std::uint32_t>(x % kBase);
                carry = x / kBase;
            }
            while (carry != 0) {
                m_limbs.push_back(static_cast<std::uint32_t>(carry % kBase));
                carry /= kBase;
            }
            count -= step;
        }
    }

    std::string digits() const
    {
        std::string text = std::to_string(m_limbs.back());
        for (auto it = m_limbs.rbegin() + 1; it != m_limbs.rend(); ++it) {
            const std::string part = std::to_string(*it);
            text += std::string(9 - part.size(), '0') + part;
        }
        return text;
    }

private:
    static constexpr std::uint64_t kBase = 1'000'000'000;
    std::vector<std::uint32_t> m_limbs;
};

std::string referenceTruncated(std::uint32_t bits, int d)
{
    const bool negative = (bits >> 31) != 0;
    const int exponentField = static_cast<int>((bits >> 23) & 0xFF);
    const std::uint32_t fraction = bits & 0x7FFFFF;
    const std::uint64_t mantissa = exponentField == 0 ? fraction : (fraction | 0x800000);
    const int exponent = exponentField == 0 ? -149 : exponentField - 150;
    std::uint64_t scaled = mantissa;
    for (int i = 0; i < d; ++i)
        scaled *= 10;

    std::string digits;
    if (exponent >= 0) {
        BigDecimal big(scaled);
        big.doubleTimes(exponent);
        digits = big.digits();
    } else {
        digits = std::to_string(-exponent >= 64 ? 0 : scaled >> -exponent);
    }
    const bool zero = digits == "0";
    if (digits.size() < static_cast<std::size_t>(d) + 1)
        digits.insert(0, static_cast<std::size_t>(d) + 1 - digits.size(), '0');
    std::string whole = digits.substr(0, digits.size() - static_cast<std::size_t>(d));
    std::string cut = digits.substr(whole.size());
    while (!cut.empty() && cut.back() == '0')
        cut.pop_back();
    std::string text = (negative && !zero) ? "-" : "";
    text += whole;
    if (!cut.empty())
        text += "." + cut;
    return text;
}

TEST(TruncatedText, WorkedExamples)
{
    struct Case {
        float v;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {229.87F, 1, "229.8"},
        {230.0F, 1, "230"},
        {0.05F, 2, "0.05"},
        {59.9F, 0, "59"},
        {0.9F, 3, "0.899"},
        {220.7F, 1, "220.6"},
        {0.001F, 3, "0.001"},
        {0.0005F, 3, "0"},
        {0.3F, 3, "0.3"},
        {16777216.0F, 0, "16777216"},
        {1.0e18F, 0, "999999984306749440"},
        {9.999e17F, 3, "999899997468098560"},
        {std::numeric_limits<float>::max(), 0, "340282346638528859811704183484516925440"},
        {std::numeric_limits<float>::lowest(), 3, "-340282346638528859811704183484516925440"},
        {-3.0e38F, 2, "-300000000549775575777803994281145270272"},
        {std::numeric_limits<float>::denorm_min(), 3, "0"},
        {-std::numeric_limits<float>::denorm_min(), 3, "0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(truncatedText(c.v, c.decimals), c.text) << c.v << " d=" << c.decimals;
}

TEST(TruncatedText, NeverReadsMinusZero)
{
    struct Case {
        float v;
        int decimals;
    };
    const Case zeros[] = {{-0.0F, 0}, {-0.0F, 3}, {-0.5F, 0}, {-0.999F, 0}, {-0.09F, 1},
        {-0.009F, 2}, {-0.0009F, 3}, {-1.0e-30F, 3}};
    for (const Case& c : zeros)
        EXPECT_EQ(truncatedText(c.v, c.decimals), "0") << c.v << " d=" << c.decimals;
    EXPECT_EQ(truncatedText(-0.05F, 2), "-0.05");
    EXPECT_EQ(truncatedText(-0.5F, 1), "-0.5");
}

TEST(TruncatedText, DecimalsOutsideZeroToThreeAreClamped)
{
    EXPECT_EQ(truncatedText(1.2345F, 7), "1.234");
    EXPECT_EQ(truncatedText(1.9F, -1), "1");
}

TEST(TruncatedText, NonFiniteReadsNoNumber)
{
    const float values[] = {std::numeric_limits<float>::infinity(),
        -std::numeric_limits<float>::infinity(), std::bit_cast<float>(0x7FC00000U),
        std::bit_cast<float>(0xFFFFFFFFU), std::bit_cast<float>(0x7F800001U)};
    for (const float v : values)
        for (int d = 0; d <= 3; ++d)
            EXPECT_EQ(truncatedText(v, d), "----");
}

// Fails at the first mismatch with the bit pattern, so that a failure can be replayed.
void expectMatchesReference(std::uint32_t bits)
{
    const float v = std::bit_cast<float>(bits);
    if (!std::isfinite(v))
        return;
    for (int d = 0; d <= 3; ++d) {
        const std::string expected = referenceTruncated(bits, d);
        const std::string actual = truncatedText(v, d);
        if (actual != expected) {
            ADD_FAILURE() << "bits 0x" << std::hex << bits << std::dec << " d=" << d << ": got "
                          << actual << ", want " << expected;
            return;
        }
    }
}

TEST(TruncatedText, MatchesExactReferenceOnRandomBitPatterns)
{
    std::mt19937 random(20260110);
    std::uniform_int_distribution<std::uint32_t> anyBits;
    // Every exponent, from subnormal to huge, both signs.
    for (int i = 0; i < 150'000 && !HasFailure(); ++i)
        expectMatchesReference(anyBits(random));
    // Exponents where the cut falls among the digits that are shown.
    std::uniform_int_distribution<std::uint32_t> exponentField(100, 200);
    for (int i = 0; i < 150'000 && !HasFailure(); ++i) {
        const std::uint32_t bits = (anyBits(random) & 0x807FFFFFU) | (exponentField(random) << 23);
        expectMatchesReference(bits);
    }
}

TEST(TruncatedText, MatchesExactReferenceNextToDecimalSteps)
{
    // Floats nearest a decimal step and their neighbours are where a rounding slip shows.
    std::mt19937 random(20260111);
    std::uniform_int_distribution<std::int64_t> steps(-10'000'000, 10'000'000);
    const double scales[] = {1.0, 10.0, 100.0, 1000.0};
    for (int i = 0; i < 40'000 && !HasFailure(); ++i) {
        const double step = static_cast<double>(steps(random)) / scales[i % 4];
        const auto bits = std::bit_cast<std::uint32_t>(static_cast<float>(step));
        expectMatchesReference(bits - 1);
        expectMatchesReference(bits);
        expectMatchesReference(bits + 1);
    }
}

} // namespace
} // namespace clampmeter
