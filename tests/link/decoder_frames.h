// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/measurement_frame.h"

#include <array>
#include <bit>
#include <cstdint>

namespace clampmeter::test {

using FrameArray = std::array<std::uint8_t, kFrameSize>;

/// What a test wants in a frame; everything else is left at 0 (header 68 68).
struct FrameSpec {
    std::uint8_t wiring = 0;
    std::uint8_t phase = 0;
    std::uint8_t number = 0;
    std::uint8_t flags = 0;
    std::uint8_t code = 1;
    float main = 0.0F;
    float secondary = 0.0F;
};

inline void putFloat(FrameArray& bytes, std::size_t first, float value)
{
    auto bits = std::bit_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[first + i] = static_cast<std::uint8_t>(bits & 0xFFU);
        bits >>= 8;
    }
}

inline FrameArray buildFrame(const FrameSpec& spec)
{
    FrameArray bytes {};
    bytes[0] = kFrameHeader;
    bytes[1] = kFrameHeader;
    bytes[2] = spec.wiring;
    bytes[3] = spec.phase;
    bytes[4] = spec.number;
    bytes[5] = spec.flags;
    bytes[6] = spec.code;
    putFloat(bytes, 7, spec.main);
    putFloat(bytes, 11, spec.secondary);
    return bytes;
}

} // namespace clampmeter::test
