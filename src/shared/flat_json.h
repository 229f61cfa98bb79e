// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace clampmeter {

/// Appends `text` as a JSON string, quotes included: '"' and '\' escaped, control
/// characters as \u00XX, every other byte as it is (UTF-8 stays UTF-8).
void appendJsonString(std::string& out, std::string_view text);

/// A value of a flat JSON object: a string, a whole number, true or false, or null.
using FlatJsonValue = std::variant<std::monostate, std::string, std::int64_t, bool>;

/// The members of a flat JSON object, in the order written.
class FlatJsonObject {
public:
    using Member = std::pair<std::string, FlatJsonValue>;

    explicit FlatJsonObject(std::vector<Member> members)
        : m_members(std::move(members))
    {
    }

    /// The member's text; nothing when it is missing or not a string.
    std::optional<std::string_view> text(std::string_view key) const;
    /// The member's number; nothing when it is missing or not a whole number.
    std::optional<std::int64_t> number(std::string_view key) const;
    /// The member's truth; nothing when it is missing or not true or false.
    std::optional<bool> truth(std::string_view key) const;

private:
    const FlatJsonValue* find(std::string_view key) const;

    std::vector<Member> m_members;
};

/// Reads one JSON object whose values are strings, whole numbers, true, false or null, with
/// blanks allowed around its tokens. Nothing for anything else: a nested value, a fraction,
/// a broken escape, text after the object, an object cut short.
std::optional<FlatJsonObject> parseFlatJsonObject(std::string_view text);

} // namespace clampmeter
