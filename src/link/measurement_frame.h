// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace clampmeter {

inline constexpr std::size_t kFrameSize = 17;
inline constexpr std::uint8_t kFrameHeader = 0x68;

/// Bits of the flags byte (byte 5).
inline constexpr std::uint8_t kFlagBat = 0x01;
inline constexpr std::uint8_t kFlagMr = 0x02;
/// "----" instead of numbers (functions 3 and 6).
inline constexpr std::uint8_t kFlagNoNumber = 0x04;

/// The energy function: bytes 11 and 12 carry its minutes and hours, not a float.
inline constexpr std::uint8_t kEnergyFunctionCode = 7;

/// Shown instead of a number at or above a function's over-range limit.
inline constexpr std::string_view kOverLimitText = "OL";
/// The meter's "no number" display: the flag of byte 5 bit 2, and any reading whose
/// float is not a finite number (NaN, -infinity, +infinity where no limit applies).
inline constexpr std::string_view kNoNumberText = "----";

/// A candidate frame: 17 bytes in order of arrival (byte 0 first).
using FrameBytes = std::span<const std::uint8_t, kFrameSize>;

/// One row of the function table: what the panel shows for a measuring function.
struct FunctionEntry {
    std::uint8_t code; ///< FunctionCode 1 … 7
    std::string_view id; ///< "FUN_VAC" … "FUN_ENERGY", goes into FunText
    std::string_view classCaption; ///< Label1
    std::string_view unitCaption; ///< Label7 and the record's UnitText
    std::string_view secondaryClassCaption; ///< Label9
    std::string_view secondaryUnitCaption; ///< Label8
    int dialPicture; ///< 1 … 8, index into the dial pictures
};

/// The phase caption a frame asks for; None leaves the caption as it was.
enum class Phase : std::uint8_t { None, L1, L2, L3 };

/// "@1", "@2", "@3", or "" for Phase::None.
std::string_view phaseCaption(Phase phase);

/// The decoded reading of one accepted frame.
struct MeasurementFrame {
    bool wiring = false; ///< "3@3w" annunciator (byte 2 == 3)
    Phase phase = Phase::None;
    std::string numberText; ///< byte 4 by the two-digit rule
    bool bat = false; ///< flags bit 0
    bool mr = false; ///< flags bit 1
    float MainValue = 0.0F; ///< bytes 7 … 10, little-endian IEEE 754, raw (may be NaN/inf)
    float SecondaryValue = 0.0F; ///< bytes 11 … 14; 0 for the energy function
    const FunctionEntry* function = nullptr; ///< nullptr for a code outside 1 … 7
    std::string MainText; ///< a number, "OL" or "----"; empty without a function entry
    std::string SecondaryText; ///< likewise; "hh:mm" for energy; empty without an entry
};

/// The seven rows of the function table, codes 1 … 7 in order.
std::span<const FunctionEntry, 7> functionTable();

/// The entry for a FunctionCode, or nullptr outside 1 … 7.
const FunctionEntry* findFunction(std::uint8_t code);

/// A candidate is accepted when bytes 0 and 1 are both 0x68; nothing else is tested.
bool isAcceptedFrame(FrameBytes bytes);

/// Decodes an accepted frame. Any 17 bytes are safe to pass.
MeasurementFrame decodeFrame(FrameBytes bytes);

/// n < 10 gives "0n", otherwise n in decimal: 0 → "00", 7 → "07", 255 → "255".
std::string twoDigitText(std::uint8_t n);

/// v truncated toward zero to `decimals` (0 … 3, clamped) fraction digits, in plain decimal
/// with trailing zeros removed: 229.9F, 1 → "229.8"; 230.0F, 1 → "230"; 0.9F, 3 → "0.899".
/// Exact for every finite float, up to the 39 digits of -3.4e38; a value that truncates to
/// zero reads "0", never "-0". A non-finite v (NaN, ±infinity) reads kNoNumberText.
std::string truncatedText(float v, int decimals);

} // namespace clampmeter
