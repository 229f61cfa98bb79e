// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "journal/journal_folder.h"
#include "link/bridge_lookup.h"
#include "link/capture_clock.h"
#include "link/serial_device_map.h"
#include "platform/meter_port.h"

namespace clampmeter {

/// Exit code when the start ended with a message instead of a window.
inline constexpr int kStartFailedExitCode = 1;

/// Runs the program on a running QApplication: the main panel's load handler, then the
/// panel until it is closed. Returns the process exit code. The session journal is kept in
/// the journal folder of that name (the demo's sessions stay apart from the meter's). The
/// meter is read through the port makePort makes, the system's serial port when it is empty.
int runProgram(SerialDeviceMap& deviceMap, CaptureClock& clock,
    std::string_view journalFolder = kSessionsFolder, MeterPortMaker makePort = {});

} // namespace clampmeter
