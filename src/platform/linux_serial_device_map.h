// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/serial_device_map.h"

#include <filesystem>
#include <string>
#include <vector>

namespace clampmeter {

/// The serial device map of a Linux machine, read from sysfs.
///
/// Every tty whose device/driver link ends in "cp210x" is a bridge; in natural order of
/// names (ttyUSB2 before ttyUSB10) the first is registered under "\Device\silabser0" with
/// its device path as port name. "\Device\slabser0" never exists here.
class LinuxSerialDeviceMap : public SerialDeviceMap {
public:
    explicit LinuxSerialDeviceMap(
        std::filesystem::path ttyClassDir = "/sys/class/tty", std::string deviceDir = "/dev");

    bool openKey() override;
    bool queryValue(
        std::string_view valueName, std::span<char> buffer, std::uint32_t& length) override;
    void closeKey() override;

    /// Bridge ttys found by the last openKey(), in natural order ("ttyUSB0", …).
    const std::vector<std::string>& bridges() const { return m_bridges; }

private:
    std::filesystem::path m_ttyClassDir;
    std::string m_deviceDir;
    std::vector<std::string> m_bridges;
};

} // namespace clampmeter
