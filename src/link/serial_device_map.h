// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace clampmeter {

/// One entry of a serial device map: a kernel device name and the port registered for it.
struct SerialMapEntry {
    std::string device; ///< "\Device\silabser0"
    std::string port; ///< "COM17"
};

/// The operating system's map of serial devices: kernel device names ("\Device\silabser0")
/// to the port names registered for them. Read-only, and shaped like the registry key it
/// stands for: open, query named values into a caller's buffer, close.
class SerialDeviceMap {
public:
    SerialDeviceMap() = default;
    SerialDeviceMap(const SerialDeviceMap&) = delete;
    SerialDeviceMap& operator=(const SerialDeviceMap&) = delete;
    virtual ~SerialDeviceMap() = default;

    /// Opens the map for value queries; false when the map cannot be read at all.
    virtual bool openKey() = 0;

    /// Copies the port name registered under `valueName`, followed by a zero byte, into
    /// `buffer`. On success `length` is the number of bytes written, terminator included.
    /// False when no such value exists or it does not fit into the buffer.
    virtual bool queryValue(
        std::string_view valueName, std::span<char> buffer, std::uint32_t& length)
        = 0;

    /// Closes the map after openKey() succeeded.
    virtual void closeKey() = 0;
};

} // namespace clampmeter
