// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/serial_device_map.h"

#include <optional>
#include <vector>

namespace clampmeter {

/// The registry's serial device map, HKEY_LOCAL_MACHINE "HARDWARE\DEVICEMAP\SERIALCOMM",
/// opened for value queries only.
class WindowsSerialDeviceMap final : public SerialDeviceMap {
public:
    WindowsSerialDeviceMap() = default;
    ~WindowsSerialDeviceMap() override;

    bool openKey() override;
    bool queryValue(
        std::string_view valueName, std::span<char> buffer, std::uint32_t& length) override;
    void closeKey() override;

private:
    void* m_key = nullptr; // HKEY; kept opaque so that this header needs no <windows.h>
};

/// Every entry of the registry's serial device map, in natural order of ports (COM3 before
/// COM17). Empty when the map is missing (no serial port was ever installed); nothing when it
/// cannot be read.
std::optional<std::vector<SerialMapEntry>> listSerialDeviceMap();

} // namespace clampmeter
