// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/static_serial_device_map.h"

#include <algorithm>

namespace clampmeter {

StaticSerialDeviceMap::StaticSerialDeviceMap(
    std::map<std::string, std::string, std::less<>> values, Readability readability)
    : m_values(std::move(values))
    , m_readability(readability)
{
}

bool StaticSerialDeviceMap::openKey()
{
    if (m_readability == Readability::Unreadable)
        return false;
    ++m_openCount;
    return true;
}

bool StaticSerialDeviceMap::queryValue(
    std::string_view valueName, std::span<char> buffer, std::uint32_t& length)
{
    const auto it = m_values.find(valueName);
    return it != m_values.end() && copyRegisteredName(it->second, buffer, length);
}

void StaticSerialDeviceMap::closeKey()
{
    ++m_closeCount;
}

bool copyRegisteredName(std::string_view text, std::span<char> buffer, std::uint32_t& length)
{
    if (text.size() + 1 > buffer.size())
        return false;
    std::copy(text.begin(), text.end(), buffer.begin());
    buffer[text.size()] = '\0';
    length = static_cast<std::uint32_t>(text.size() + 1);
    return true;
}

} // namespace clampmeter
