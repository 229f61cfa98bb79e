// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ports_report.h"

#include <algorithm>

namespace clampmeter::cli {

std::string serialDeviceTable(const std::vector<SerialDevice>& devices,
    const std::string& bridgePort, const std::string& deviceDir)
{
    if (devices.empty())
        return "No serial devices.\n";
    std::size_t pathWidth = std::string_view("DEVICE").size();
    std::size_t driverWidth = std::string_view("DRIVER").size();
    for (const SerialDevice& device : devices) {
        pathWidth = std::max(pathWidth, deviceDir.size() + 1 + device.name.size());
        driverWidth = std::max(driverWidth, device.driver.size());
    }
    const auto row = [&](const std::string& path, const std::string& driver, bool bridge) {
        std::string line = path + std::string(pathWidth - path.size() + 2, ' ') + driver;
        if (bridge)
            line += std::string(driverWidth - driver.size() + 2, ' ') + "<- the meter's bridge";
        return line + '\n';
    };
    std::string table = row("DEVICE", "DRIVER", false);
    for (const SerialDevice& device : devices) {
        const std::string path = deviceDir + "/" + device.name;
        table += row(path, device.driver, path == bridgePort);
    }
    return table;
}

std::string bridgeAccessText(const std::string& port, const PortOpenResult& opened)
{
    if (opened.ok())
        return "clampmeter would use " + port + ", and this user can open it.\n";
    return "clampmeter would use " + port + ", but this user cannot open it.\n\n"
        + portOpenFailureMessage(port, opened) + '\n';
}

} // namespace clampmeter::cli
