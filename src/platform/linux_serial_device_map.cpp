// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/linux_serial_device_map.h"

#include "link/bridge_lookup.h"
#include "link/static_serial_device_map.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace clampmeter {
namespace {

constexpr std::string_view kBridgeDriver = "cp210x";

bool isDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool hasBridgeDriver(const std::filesystem::path& ttyDir)
{
    std::error_code error;
    const auto driver = std::filesystem::read_symlink(ttyDir / "device" / "driver", error);
    return !error && driver.filename() == kBridgeDriver;
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
    std::error_code error;
    std::filesystem::directory_iterator it(m_ttyClassDir, error);
    if (error)
        return false;
    for (const std::filesystem::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            return false;
        if (hasBridgeDriver(it->path()))
            m_bridges.push_back(it->path().filename().string());
    }
    std::sort(m_bridges.begin(), m_bridges.end(),
        [](const std::string& a, const std::string& b) { return naturalLess(a, b); });
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
