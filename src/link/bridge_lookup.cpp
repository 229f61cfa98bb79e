// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/bridge_lookup.h"

#include <array>

namespace clampmeter {
namespace {

std::optional<std::string> queryPortName(SerialDeviceMap& map, std::string_view valueName)
{
    std::array<char, kPortNameBufferSize> buffer {};
    auto length = static_cast<std::uint32_t>(buffer.size());
    if (!map.queryValue(valueName, buffer, length))
        return std::nullopt;
    // The length counts the terminator; a map that reports none (or more than the buffer)
    // must not make us read outside what was written.
    const std::size_t size = length == 0 ? 0 : std::min<std::size_t>(length - 1, buffer.size());
    return std::string(buffer.data(), size);
}

} // namespace

BridgeLookup lookUpBridge(SerialDeviceMap& map)
{
    if (!map.openKey())
        return {BridgeLookupStatus::MapUnreadable, {}};
    auto name = queryPortName(map, kBridgeValueName);
    if (!name)
        name = queryPortName(map, kBridgeAltValueName);
    map.closeKey();
    if (!name)
        return {BridgeLookupStatus::NoBridge, {}};
    return {BridgeLookupStatus::Found, std::move(*name)};
}

std::string_view bridgeLookupMessage(BridgeLookupStatus status)
{
    switch (status) {
    case BridgeLookupStatus::MapUnreadable:
        return kMapUnreadableMessage;
    case BridgeLookupStatus::NoBridge:
        return kNoBridgeMessage;
    case BridgeLookupStatus::Found:
        break;
    }
    return {};
}

} // namespace clampmeter
