// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <charconv>
#include <cstdint>
#include <string_view>

namespace clampmeter {

/// A record number written as a number: a blank in the sign's place, the decimal digits
/// and, where the report wants it, one trailing blank. Built on the stack, no allocation.
class RecordNumber {
public:
    explicit RecordNumber(std::int32_t no)
    {
        m_text[0] = ' ';
        const auto result = std::to_chars(m_text.data() + 1, m_text.data() + m_text.size() - 1, no);
        *result.ptr = ' ';
        m_size = static_cast<std::size_t>(result.ptr - m_text.data());
    }

    /// " 12": the export's first field.
    std::string_view withSignBlank() const { return {m_text.data(), m_size}; }
    /// " 12 ": the report's first item.
    std::string_view withBlanks() const { return {m_text.data(), m_size + 1}; }

private:
    std::array<char, 14> m_text {}; // blank, up to 11 characters of int32, blank
    std::size_t m_size = 0;
};

} // namespace clampmeter
