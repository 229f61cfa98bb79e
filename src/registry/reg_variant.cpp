// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "registry/reg_variant.h"

#include <array>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string_view>

namespace clampmeter {
namespace {

std::int32_t roundToLong(double number)
{
    if (!std::isfinite(number))
        throw std::out_of_range("number is not finite");
    double whole = std::floor(number);
    const double fraction = number - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (whole < -2147483648.0 || whole > 2147483647.0)
        throw std::out_of_range("number does not fit 32 bits");
    return static_cast<std::int32_t>(whole);
}

double parseNumber(std::string_view text)
{
    constexpr std::string_view kBlanks = " \t";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        throw std::invalid_argument("text holds no number");
    text = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
    // from_chars takes no plus sign; a second sign after it must still be refused.
    if (text.front() == '+') {
        text.remove_prefix(1);
        if (text.empty() || text.front() == '-')
            throw std::invalid_argument("text holds no number");
    }
    double number = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error == std::errc::result_out_of_range)
        throw std::out_of_range("number out of range");
    // "inf" and "nan" are words, not numbers, for whoever typed them.
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(number))
        throw std::invalid_argument("text holds no number");
    return number;
}

} // namespace

std::string regVariantToText(const RegVariant& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return std::to_string(*number);
    if (const auto* real = std::get_if<double>(&value)) {
        std::array<char, 32> buffer {};
        const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), *real);
        return std::string(buffer.data(), result.ptr);
    }
    return {};
}

std::int32_t regVariantToLong(const RegVariant& value)
{
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return *number;
    if (const auto* real = std::get_if<double>(&value))
        return roundToLong(*real);
    if (const auto* text = std::get_if<std::string>(&value))
        return roundToLong(parseNumber(*text));
    return 0;
}

} // namespace clampmeter
