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

bool isMqttText(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        std::uint32_t code = 0;
        if (lead < 0x80) {
            length = 1;
            code = lead;
        } else if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
            code = lead & 0x1fU;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            code = lead & 0x0fU;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            code = lead & 0x07U;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xc0U) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3fU);
        }
        // Overlong forms, UTF-16 surrogates and code points past Unicode's end are no UTF-8;
        // control characters are what brokers refuse in a topic.
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff
            || code < 0x20 || (code >= 0x7f && code <= 0x9f))
            return false;
        i += length;
    }
    return true;
}

bool isTopicPrefix(std::string_view prefix)
{
    return !prefix.empty() && !prefix.starts_with('/') && !prefix.ends_with('/')
        && !prefix.starts_with('$') && prefix.find_first_of("+#") == std::string_view::npos
        && isMqttText(prefix);
}

MqttTopics::MqttTopics(std::string_view prefix, std::string_view id)
    : m_base(std::string(prefix) + '/' + std::string(id) + '/')
{
}

} // namespace clampmeter
