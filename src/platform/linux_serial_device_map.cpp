// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/linux_serial_device_map.h"

#include "link/bridge_lookup.h"
#include "link/static_serial_device_map.h"
#include "platform/serial_device_list.h"

#include <algorithm>

namespace clampmeter {
namespace {

constexpr std::string_view kBridgeDriver = "cp210x";

} // namespace

LinuxSerialDeviceMap::LinuxSerialDeviceMap(std::filesystem::path ttyClassDir, std::string deviceDir)
    : m_ttyClassDir(std::move(ttyClassDir))
    , m_deviceDir(std::move(deviceDir))
{
}

bool LinuxSerialDeviceMap::openKey()
{
    m_bridges.clear();
    const auto devices = listSerialDevices(m_ttyClassDir);
    if (!devices)
        return false;
    for (const SerialDevice& device : *devices) {
        if (device.driver == kBridgeDriver)
            m_bridges.push_back(device.name);
    }
    return true;
}

bool LinuxSerialDeviceMap::queryValue(
    std::string_view valueName, std::span<char> buffer, std::uint32_t& length)
{
    if (valueName != kBridgeValueName || m_bridges.empty())
        return false;
    return copyRegisteredName(m_deviceDir + "/" + m_bridges.front(), buffer, length);
}

void LinuxSerialDeviceMap::closeKey()
{
    m_bridges.clear();
}

} // namespace clampmeter
