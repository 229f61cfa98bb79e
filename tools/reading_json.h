// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/measurement_frame.h"

#include <string>
#include <string_view>

namespace clampmeter::cli {

/// The JSON object of an accepted frame as `clampmeter-cli decode` prints it, without a line
/// end: accepted, fun, main, secondary, class, unit, secondaryClass, secondaryUnit, dial,
/// number, wiring, bat, mr, phase, mainValue, secondaryValue. Captions and dial are null for
/// an unknown function code, the values null when not finite. A non-empty `time` comes first,
/// as "time".
std::string readingJson(const MeasurementFrame& frame, std::string_view time = {});

/// Shortest decimal text that reads back to the same 32-bit float; empty when not finite.
std::string shortestFloatText(float value);

} // namespace clampmeter::cli
