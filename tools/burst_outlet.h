// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <variant>

namespace clampmeter {
class StopSignals;
} // namespace clampmeter

namespace clampmeter::cli {

/// Where the simulator's bursts go: a pseudo-terminal, a serial device or a plain stream.
class BurstOutlet {
public:
    virtual ~BurstOutlet() = default;

    /// Writes the bytes in one go; for a serial line, returns once they have left it, and
    /// for a pseudo-terminal once they would have at 2400 baud.
    /// False when they could not be written (the line is gone, the disk is full).
    virtual bool write(std::span<const std::uint8_t> bytes) = 0;

    /// After the last burst: lets a reader take what is still on its way, unless stopped.
    /// False when the last bytes could not be written.
    virtual bool finish(const StopSignals& stop) = 0;

    /// One line for the user once write() or finish() has returned false.
    virtual std::string failure() const = 0;
};

/// An outlet, or the reason it could not be opened.
using OpenedOutlet = std::variant<std::unique_ptr<BurstOutlet>, std::string>;

/// A new pseudo-terminal; `slavePath` receives the path a reader opens.
OpenedOutlet openPtyOutlet(std::string& slavePath);

/// An existing serial device, set to 2400 baud, 8 data bits, no parity, 1 stop bit, raw.
OpenedOutlet openDeviceOutlet(const std::string& path);

/// The bytes as they are, back to back, to a stream (a capture file).
std::unique_ptr<BurstOutlet> streamOutlet(std::ostream& out);

} // namespace clampmeter::cli
