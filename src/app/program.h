// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/bridge_lookup.h"
#include "link/capture_clock.h"
#include "link/serial_device_map.h"

namespace clampmeter {

/// Exit code when the start ended with a message instead of a window.
inline constexpr int kStartFailedExitCode = 1;

/// Runs the program on a running QApplication: the main panel's load handler, then the
/// panel until it is closed. Returns the process exit code.
int runProgram(SerialDeviceMap& deviceMap, CaptureClock& clock);

} // namespace clampmeter
