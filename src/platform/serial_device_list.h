// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clampmeter {

/// A serial device of a Linux machine, as sysfs lists it.
struct SerialDevice {
    std::string name; ///< the tty's name: "ttyUSB0"
    std::string driver; ///< the last part of its device/driver link: "cp210x"
};

/// Every tty under `ttyClassDir` that has a device with a driver (virtual terminals and
/// pseudo-terminals have none), in natural order of names (ttyUSB2 before ttyUSB10).
/// Nothing when the folder cannot be read.
std::optional<std::vector<SerialDevice>> listSerialDevices(
    const std::filesystem::path& ttyClassDir = "/sys/class/tty");

/// Orders names with runs of digits compared by value: "ttyUSB2" < "ttyUSB10".
bool naturalLess(std::string_view a, std::string_view b);

} // namespace clampmeter
