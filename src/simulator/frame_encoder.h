// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/measurement_frame.h"

#include <array>
#include <cstdint>

namespace clampmeter {

/// The energy function's elapsed-time counter, sent in bytes 12 (hours) and 11 (minutes).
struct EnergyCounter {
    std::uint8_t hours = 0; ///< 0 … 255
    std::uint8_t minutes = 0; ///< 0 … 59 from the meter, though any byte can be sent
};

/// Everything a meter puts into one frame. The header (68 68) is always written.
struct FrameFields {
    std::uint8_t wiring = 0; ///< byte 2; 3 shows "3@3w"
    std::uint8_t phase = 1; ///< byte 3; 1, 2, 3 select "@1" … "@3"
    std::uint8_t number = 0; ///< byte 4
    std::uint8_t flags = 0; ///< byte 5; kFlagBat, kFlagMr, kFlagNoNumber
    std::uint8_t functionCode = 1; ///< byte 6; 1 … 7, anything else is "no function"
    float mainValue = 0.0F; ///< bytes 7 … 10
    /// Bytes 11 … 14 for every function code except 7; ignored for code 7.
    float secondaryValue = 0.0F;
    /// Bytes 11 and 12 for function code 7 (bytes 13 and 14 are then 0); ignored otherwise.
    EnergyCounter counter {};
    std::array<std::uint8_t, 2> trailer {}; ///< bytes 15 and 16, which no reader examines
};

using EncodedFrame = std::array<std::uint8_t, kFrameSize>;

/// Builds the 17 bytes of a frame. Floats are written as IEEE 754 single precision,
/// little-endian (least significant byte first) whatever the host's byte order.
EncodedFrame encodeFrame(const FrameFields& fields);

} // namespace clampmeter
