// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace clampmeter {

/// The receive side of the meter's serial port, as the framing uses it. Every operation
/// runs on the user-interface thread and acts on everything received so far.
class SerialPortControl {
public:
    SerialPortControl() = default;
    SerialPortControl(const SerialPortControl&) = delete;
    SerialPortControl& operator=(const SerialPortControl&) = delete;
    virtual ~SerialPortControl() = default;

    /// Number of received bytes waiting to be read; 0 on a closed port.
    virtual std::size_t InBufferCount() const = 0;
    /// Throws away every waiting byte.
    virtual void discardInBuffer() = 0;
    /// Reads and removes the waiting bytes, oldest first, unconverted.
    virtual std::vector<std::uint8_t> Input() = 0;
    /// Receive threshold in bytes: with n > 0 the port raises a receive event whenever new
    /// bytes leave n or more waiting; with 0 it raises none.
    virtual void setRThreshold(std::size_t bytes) = 0;
};

} // namespace clampmeter
