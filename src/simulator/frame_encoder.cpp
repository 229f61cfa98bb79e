// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "simulator/frame_encoder.h"

#include <bit>
#include <cstddef>

namespace clampmeter {
namespace {

void putFloat(EncodedFrame& bytes, std::size_t first, float value)
{
    // Shifting the bit pattern, rather than copying memory, fixes the byte order.
    const auto bits = std::bit_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i)
        bytes[first + i] = static_cast<std::uint8_t>((bits >> (8 * i)) & 0xFFU);
}

} // namespace

EncodedFrame encodeFrame(const FrameFields& fields)
{
    EncodedFrame bytes {};
    bytes[0] = kFrameHeader;
    bytes[1] = kFrameHeader;
    bytes[2] = fields.wiring;
    bytes[3] = fields.phase;
    bytes[4] = fields.number;
    bytes[5] = fields.flags;
    bytes[6] = fields.functionCode;
    putFloat(bytes, 7, fields.mainValue);
    if (fields.functionCode == kEnergyFunctionCode) {
        bytes[11] = fields.counter.minutes;
        bytes[12] = fields.counter.hours;
    } else {
        putFloat(bytes, 11, fields.secondaryValue);
    }
    bytes[15] = fields.trailer[0];
    bytes[16] = fields.trailer[1];
    return bytes;
}

} // namespace clampmeter
