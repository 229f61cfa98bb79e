// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/bridge_connection.h"

#include "link/bridge_lookup.h"

namespace clampmeter {

BridgeAttempt attemptBridge(SerialDeviceMap& map, const std::string& pinned, const PortOpener& open)
{
    std::string port = pinned;
    if (port.empty()) {
        const BridgeLookup bridge = lookUpBridge(map);
        if (bridge.status != BridgeLookupStatus::Found)
            return {{}, std::string(bridgeLookupMessage(bridge.status))};
        port = bridge.portName;
    }
    const PortOpenResult opened = open(port);
    if (!opened.ok())
        return {{}, portOpenFailureMessage(port, opened)};
    return {port, {}};
}

} // namespace clampmeter
