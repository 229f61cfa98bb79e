// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/bridge_connection.h"

#include "link/bridge_lookup.h"

namespace clampmeter {

namespace {

std::string lookupFailureLine(BridgeLookupStatus status)
{
    if (status == BridgeLookupStatus::MapUnreadable)
        return "cannot read the list of serial devices (" + std::string(kMapUnreadableMessage)
            + ")";
    return "no CP210x bridge found";
}

std::string openFailureLine(const std::string& port, const PortOpenResult& result)
{
    std::string line = "cannot open " + port;
    if (!result.reason.empty())
        line += ": " + result.reason;
    if (result.error == PortOpenError::PermissionDenied)
        line += " (clampmeter-cli ports says what to do)";
    else if (result.error == PortOpenError::InUse && !result.holder.empty())
        line += " (held by " + result.holder + ")";
    else if (result.error == PortOpenError::Busy)
        line += " (no program of this user holds it open)";
    return line;
}

} // namespace

BridgeAttempt attemptBridge(SerialDeviceMap& map, const std::string& pinned, const PortOpener& open)
{
    std::string port = pinned;
    if (port.empty()) {
        const BridgeLookup bridge = lookUpBridge(map);
        if (bridge.status != BridgeLookupStatus::Found)
            return {{}, std::string(bridgeLookupMessage(bridge.status)),
                lookupFailureLine(bridge.status)};
        port = bridge.portName;
    }
    const PortOpenResult opened = open(port);
    if (!opened.ok())
        return {{}, portOpenFailureMessage(port, opened), openFailureLine(port, opened)};
    return {port, {}, {}};
}

} // namespace clampmeter
