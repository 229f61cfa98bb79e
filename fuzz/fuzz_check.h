// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the fuzz targets share: a check that ends the run with a message the fuzzer keeps,
// and the test for texts a label may show.

#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace clampmeter::fuzz {

/// A broken promise: the fuzzer records the input that led here as a crash.
[[noreturn]] inline void fail(const char* what)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

inline void check(bool condition, const char* what)
{
    if (!condition)
        fail(what);
}

/// Plain printable ASCII: what every caption and reading text of the panel must be.
inline bool isPrintableAscii(std::string_view text)
{
    for (const char c : text)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

/// Takes bytes and texts off a fuzzer's input, front to back; past its end, zeros and
/// empty texts.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool done() const { return m_at >= m_size; }
    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    /// The next `length` bytes as a text, fewer at the end.
    std::string text(std::size_t length)
    {
        length = std::min(length, m_size - std::min(m_at, m_size));
        std::string text(reinterpret_cast<const char*>(m_data + m_at), length);
        m_at += length;
        return text;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

} // namespace clampmeter::fuzz
