// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace clampmeter {

/// A value of any type, as the registry access class takes and returns it: empty, a text
/// (8-bit string), a 32-bit signed integer or a floating-point number.
using RegVariant = std::variant<std::monostate, std::string, std::int32_t, double>;

/// The text of a value: empty gives "", 42 gives "42", 2.5 gives "2.5" (shortest form that
/// reads back to the same number, with '.' as the decimal separator).
std::string regVariantToText(const RegVariant& value);

/// The 32-bit integer of a value: empty gives 0; a number, or a text holding one (surrounding
/// blanks, a sign, decimals and an exponent allowed: " 42 ", "-7", "2.5", "1e3"), is rounded
/// to the nearest whole number, halves to the even neighbour.
/// Throws std::invalid_argument for a text that holds no number and std::out_of_range for a
/// number outside -2147483648 … 2147483647.
std::int32_t regVariantToLong(const RegVariant& value);

} // namespace clampmeter
