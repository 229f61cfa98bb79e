// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/load_sequence.h"

namespace clampmeter {

LoadOutcome runLoadHandler(VarModule& vars, SerialDeviceMap& deviceMap, LoadHost& host)
{
    vars.setStartValues();
    host.writeListHeaders();
    host.applyWindowStyle();

    const BridgeLookup bridge = lookUpBridge(deviceMap);
    if (bridge.status != BridgeLookupStatus::Found) {
        host.showFatalMessage(bridgeLookupMessage(bridge.status));
        return LoadOutcome::EndProgram;
    }

    const std::string& port = bridge.portName;
    const PortOpenResult opened = host.openPort(port);
    if (!opened.ok()) {
        // Carrying on with a closed port would only ever show "NO DATA" without saying why.
        host.showFatalMessage(portOpenFailureMessage(port, opened));
        return LoadOutcome::EndProgram;
    }

    host.startResynchronising();
    return LoadOutcome::Running;
}

std::string portOpenFailureMessage(std::string_view portName, const PortOpenResult& result)
{
    std::string message = "Cannot open the meter's serial port " + std::string(portName);
    message += result.reason.empty() ? "." : ": " + result.reason + ".";
    switch (result.error) {
    case PortOpenError::PermissionDenied: {
        const std::string group = result.deviceGroup.empty() ? "dialout" : result.deviceGroup;
        message += "\n\nYour user is not allowed to use the port: it is not in the group that "
                   "owns the device ("
            + group + "). Add it with\n\n    sudo usermod -aG " + group
            + " $USER\n\nthen log out and log in again.\n\nOr install the clampmeter package: "
              "its udev rule (60-clampmeter.rules) gives the user at the computer access to "
              "the bridge. If it is installed already, unplug the meter and plug it in again.";
        break;
    }
    case PortOpenError::InUse:
        message += result.holder.empty()
            ? "\n\nAnother program is using the port. Close it and start again."
            : "\n\nAnother program is using the port: " + result.holder
                + ". Close it and start again.";
        break;
    case PortOpenError::Busy:
        message += "\n\nThe system says the port is busy, but no program that this user can "
                   "see holds it open: a program of another user may, or one that was "
                   "stopped may have left it locked. Unplug the meter and plug it in again, "
                   "or start again in a moment.";
        break;
    case PortOpenError::NotFound:
        message += "\n\nThe meter's cable may have been unplugged. Plug it in and start again.";
        break;
    case PortOpenError::None:
    case PortOpenError::Other:
        break;
    }
    return message;
}

} // namespace clampmeter
