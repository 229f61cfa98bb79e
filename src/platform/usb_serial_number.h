// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace clampmeter {

/// The serial number of the USB device behind the tty `ttyName` ("ttyUSB0"), as sysfs has
/// it: the `serial` of the first folder above `ttyClassDir`/NAME/device that holds both
/// `serial` and `idVendor`. It stays the same across replugs and reboots. Nothing for a tty
/// without one (a pseudo-terminal, a bridge without a serial number).
std::optional<std::string> usbSerialNumber(
    const std::filesystem::path& ttyClassDir, std::string_view ttyName);

} // namespace clampmeter
