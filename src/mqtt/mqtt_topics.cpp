// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mqtt/mqtt_topics.h"

#include <algorithm>

namespace clampmeter {
namespace {

constexpr std::size_t kLongestId = 64;

bool isIdCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'
        || c == '-';
}

} // namespace

std::string_view stateTopicName(std::uint8_t functionCode)
{
    if (functionCode < 1 || functionCode > kStateTopicNames.size())
        return {};
    return kStateTopicNames[functionCode - 1U];
}

bool isMqttDeviceId(std::string_view id)
{
    return !id.empty() && id.size() <= kLongestId
        && std::all_of(id.begin(), id.end(), isIdCharacter);
}

std::string mqttDeviceId(std::string_view raw)
{
    std::string id;
    for (const char c : raw.substr(0, kLongestId))
        id += isIdCharacter(c) ? c : '_';
    if (std::all_of(id.begin(), id.end(), [](char c) { return c == '_'; }))
        return "meter";
    return id;
}

bool isTopicPrefix(std::string_view prefix)
{
    return !prefix.empty() && !prefix.starts_with('/') && !prefix.ends_with('/')
        && prefix.find_first_of(std::string_view("+#\0", 3)) == std::string_view::npos;
}

MqttTopics::MqttTopics(std::string_view prefix, std::string_view id)
    : m_base(std::string(prefix) + '/' + std::string(id) + '/')
{
}

} // namespace clampmeter
