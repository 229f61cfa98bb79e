// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/load_sequence.h"
#include "link/serial_device_map.h"
#include "platform/serial_device_list.h"

#include <optional>
#include <string>
#include <vector>

namespace clampmeter::cli {

/// The serial devices, one a line with its device path and driver, the one at `bridgePort`
/// (empty: none) marked as the one the program would use. "No serial devices." when there
/// are none.
std::string serialDeviceTable(const std::vector<SerialDevice>& devices,
    const std::string& bridgePort, const std::string& deviceDir = "/dev");

/// The entries of Windows' serial device map, one a line with its port and device name, the
/// one registered as `bridgePort` (empty: none) marked as the one the program would use.
/// "No serial ports." when there are none.
std::string serialDeviceMapTable(
    const std::vector<SerialMapEntry>& entries, const std::string& bridgePort);

/// Whether this user can open the bridge at `port`, and when not why and what to do: the
/// program's own message for the failure.
std::string bridgeAccessText(const std::string& port, const PortOpenResult& opened);

} // namespace clampmeter::cli
