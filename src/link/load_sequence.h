// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/bridge_lookup.h"
#include "shared/var_module.h"

#include <string>
#include <string_view>

namespace clampmeter {

/// Why a port could not be opened, as far as the user can act on it. InUse: another program
/// holds it; Busy: the system refuses it as busy, yet no program can be seen holding it (one
/// of another user, or a lock a stopped program left behind).
enum class PortOpenError { None, PermissionDenied, NotFound, InUse, Busy, Other };

struct PortOpenResult {
    PortOpenError error = PortOpenError::None;
    std::string reason; ///< the system's own words, for the message box
    std::string deviceGroup; ///< group owning the device when known (for permission errors)
    std::string holder; ///< for InUse, the program holding the port when it can be seen

    bool ok() const { return error == PortOpenError::None; }
};

/// What the main panel's load handler drives, called in the order of the start.
class LoadHost {
public:
    LoadHost() = default;
    LoadHost(const LoadHost&) = delete;
    LoadHost& operator=(const LoadHost&) = delete;
    virtual ~LoadHost() = default;

    virtual void writeListHeaders() = 0;
    virtual void applyWindowStyle() = 0;
    /// A modal message box with only an OK button and no icon; returns once dismissed.
    virtual void showFatalMessage(std::string_view message) = 0;
    virtual PortOpenResult openPort(const std::string& portName) = 0;
    /// Enables the resynchronisation timer: from here on serial events drive the program.
    virtual void startResynchronising() = 0;
};

enum class LoadOutcome { Running, EndProgram };

/// The main panel's load handler: start values, list headers, window style, bridge
/// lookup, port opening, resynchronisation. On EndProgram a message has been shown and
/// the caller must end the program without showing any window.
LoadOutcome runLoadHandler(VarModule& vars, SerialDeviceMap& deviceMap, LoadHost& host);

/// The text shown when the bridge's port is found but cannot be opened.
std::string portOpenFailureMessage(std::string_view portName, const PortOpenResult& result);

} // namespace clampmeter
