// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/load_sequence.h"
#include "link/serial_device_map.h"

#include <functional>
#include <string>

namespace clampmeter {

/// Opens a port by name with the link's line settings.
using PortOpener = std::function<PortOpenResult(const std::string& portName)>;

/// One attempt to reach the bridge.
struct BridgeAttempt {
    std::string port; ///< the port opened; empty when the attempt failed
    std::string failure; ///< why it failed, in the words of the start, which then ends
    /// Why it failed in one line, without the start's advice to plug in or close something
    /// and start again: for a program that goes on looking by itself.
    std::string failureLine;

    bool connected() const { return !port.empty(); }
};

/// Reaches the bridge as the program's start does: the first CP210x bridge of the serial
/// device map (read anew, so a bridge back under another name is found), or the one device
/// `pinned` names when it is not empty; then opens it. Failures are told in the start's
/// words ("No com-port! …", "Cannot open the meter's serial port …") and in one line ("no
/// CP210x bridge found", "cannot open /dev/ttyUSB0: Permission denied").
BridgeAttempt attemptBridge(
    SerialDeviceMap& map, const std::string& pinned, const PortOpener& open);

} // namespace clampmeter
