// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/windows_serial_device_map.h"

#include "link/bridge_lookup.h"
#include "platform/serial_device_list.h"

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

std::optional<std::vector<SerialMapEntry>> listSerialDeviceMap()
{
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExA(
        HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key);
    if (opened == ERROR_FILE_NOT_FOUND)
        return std::vector<SerialMapEntry> {};
    if (opened != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<SerialMapEntry> entries;
    for (DWORD index = 0;; ++index) {
        // Value names are kernel device paths (at most 16383 characters); the data a port name.
        std::string name(16384, '\0');
        std::string port(kPortNameBufferSize, '\0');
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD portSize = static_cast<DWORD>(port.size());
        DWORD type = 0;
        const LONG result = RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type,
            reinterpret_cast<LPBYTE>(port.data()), &portSize);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        name.resize(nameLength);
        port.resize(std::min<std::size_t>(portSize, port.size()));
        while (!port.empty() && port.back() == '\0')
            port.pop_back();
        entries.push_back({std::move(name), std::move(port)});
    }
    RegCloseKey(key);
    std::sort(entries.begin(), entries.end(), [](const SerialMapEntry& a, const SerialMapEntry& b) {
        return naturalLess(a.port, b.port);
    });
    return entries;
}

} // namespace clampmeter
