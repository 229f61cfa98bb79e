// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>

namespace clampmeter::cli {

/// One word of a command line: "--name=value" is cut at its first '=', any other word is a
/// name alone (its value, if it takes one, is the next word).
struct OptionWord {
    std::string_view name;
    std::optional<std::string_view> value;
};

inline OptionWord splitOptionWord(std::string_view word)
{
    if (const auto equals = word.find('=');
        word.starts_with("--") && equals != std::string_view::npos)
        return {word.substr(0, equals), word.substr(equals + 1)};
    return {word, std::nullopt};
}

/// The whole text as a number from `lowest` to `highest`; nothing for anything else (a sign,
/// blanks, trailing characters, out of range).
template <typename Number>
std::optional<Number> parseWholeNumber(std::string_view text, Number lowest, Number highest)
{
    Number value {};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc {} || end != text.data() + text.size() || value < lowest
        || value > highest)
        return std::nullopt;
    return value;
}

} // namespace clampmeter::cli
