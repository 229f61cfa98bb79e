// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/measurement_frame.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace clampmeter::cli {

enum class LogFormat : std::uint8_t { Csv, Jsonl };

/// The first line of a new CSV log, with its line end.
inline constexpr std::string_view kCsvHeader
    = "time,function,main,unit,secondary,secondary_unit,main_value,secondary_value,bat,mr,phase,"
      "wiring,number\n";

/// The line that starts a new file or stream: kCsvHeader for CSV, nothing for JSON lines.
std::string_view logHeader(LogFormat format);

/// One reading's line, with its line end. CSV: the panel's texts, the frame's floats
/// (shortest text that reads back the same, empty when not finite), true or false for the
/// annunciators. JSON lines: decode's object with "time" first.
std::string logLine(LogFormat format, const MeasurementFrame& reading, std::string_view time);

} // namespace clampmeter::cli
