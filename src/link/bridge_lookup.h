// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/serial_device_map.h"

#include <optional>
#include <string>
#include <string_view>

namespace clampmeter {

/// The bridge's driver registers its first device under one of these names, tried in order.
inline constexpr std::string_view kBridgeValueName = R"(\Device\silabser0)";
inline constexpr std::string_view kBridgeAltValueName = R"(\Device\slabser0)";

/// Room for a registered port name, terminator included.
inline constexpr std::size_t kPortNameBufferSize = 100;

inline constexpr std::string_view kMapUnreadableMessage = "RegOpenKey error!";
inline constexpr std::string_view kNoBridgeMessage
    = "No com-port! Please check out the line-connection and the "
      "device-driver-installation!";

enum class BridgeLookupStatus { Found, MapUnreadable, NoBridge };

struct BridgeLookup {
    BridgeLookupStatus status = BridgeLookupStatus::NoBridge;
    std::string portName; ///< the registered name, without its terminator; set when Found
};

/// Looks the bridge up in the serial device map: the first value name, then the second.
BridgeLookup lookUpBridge(SerialDeviceMap& map);

/// The message that ends the program for a failed lookup; empty when the bridge was found.
std::string_view bridgeLookupMessage(BridgeLookupStatus status);

} // namespace clampmeter
