// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/linux_serial_device_map.h"

#include "link/bridge_lookup.h"
#include "link/static_serial_device_map.h"
#include "platform/serial_device_list.h"

#include <algorithm>
#include <cctype>

namespace clampmeter {
namespace {

constexpr std::string_view kBridgeDriver = "cp210x";

bool isDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

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

bool naturalLess(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::size_t startA = i;
            const std::size_t startB = j;
            while (i < a.size() && isDigit(a[i]))
                ++i;
            while (j < b.size() && isDigit(b[j]))
                ++j;
            std::string_view runA = a.substr(startA, i - startA);
            std::string_view runB = b.substr(startB, j - startB);
            const auto trimmedA = runA.substr(std::min(runA.find_first_not_of('0'), runA.size()));
            const auto trimmedB = runB.substr(std::min(runB.find_first_not_of('0'), runB.size()));
            if (trimmedA.size() != trimmedB.size())
                return trimmedA.size() < trimmedB.size();
            if (trimmedA != trimmedB)
                return trimmedA < trimmedB;
            if (runA.size() != runB.size())
                return runA.size() < runB.size();
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

} // namespace clampmeter
