// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the fuzz targets share: a check that ends the run with a message the fuzzer keeps,
// and the test for texts a label may show.

#pragma once

#include <cstdio>
#include <cstdlib>
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

} // namespace clampmeter::fuzz
