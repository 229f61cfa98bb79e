// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/windows_serial_device_map.h"

#include <algorithm>
#include <string>
#include <utility>
#include <windows.h>

namespace clampmeter {

WindowsSerialDeviceMap::~WindowsSerialDeviceMap()
{
    closeKey();
}

bool WindowsSerialDeviceMap::openKey()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(
            HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key)
        != ERROR_SUCCESS)
        return false;
    m_key = key;
    return true;
}

bool WindowsSerialDeviceMap::queryValue(
    std::string_view valueName, std::span<char> buffer, std::uint32_t& length)
{
    if (m_key == nullptr)
        return false;
    std::fill(buffer.begin(), buffer.end(), '\0');
    const std::string name(valueName);
    DWORD size = static_cast<DWORD>(buffer.size());
    const LONG result = RegQueryValueExA(static_cast<HKEY>(m_key), name.c_str(), nullptr, nullptr,
        reinterpret_cast<LPBYTE>(buffer.data()), &size);
    if (result != ERROR_SUCCESS)
        return false;
    length = size;
    return true;
}

void WindowsSerialDeviceMap::closeKey()
{
    if (m_key != nullptr)
        RegCloseKey(static_cast<HKEY>(std::exchange(m_key, nullptr)));
}

} // namespace clampmeter
