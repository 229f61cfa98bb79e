// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/serial_device_list.h"

#include "platform/linux_serial_device_map.h"

#include <algorithm>
#include <system_error>

namespace clampmeter {

std::optional<std::vector<SerialDevice>> listSerialDevices(const std::filesystem::path& ttyClassDir)
{
    std::vector<SerialDevice> devices;
    std::error_code error;
    std::filesystem::directory_iterator it(ttyClassDir, error);
    if (error)
        return std::nullopt;
    for (const std::filesystem::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            return std::nullopt;
        std::error_code noDriver;
        const auto driver
            = std::filesystem::read_symlink(it->path() / "device" / "driver", noDriver);
        if (!noDriver)
            devices.push_back({it->path().filename().string(), driver.filename().string()});
    }
    std::sort(devices.begin(), devices.end(),
        [](const SerialDevice& a, const SerialDevice& b) { return naturalLess(a.name, b.name); });
    return devices;
}

} // namespace clampmeter
