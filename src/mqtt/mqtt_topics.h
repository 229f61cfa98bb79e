// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace clampmeter {

inline constexpr std::string_view kDefaultTopicPrefix = "clampmeter";
inline constexpr std::string_view kDefaultDiscoveryPrefix = "homeassistant";

/// The payloads of the availability topic (also Home Assistant's defaults).
inline constexpr std::string_view kOnline = "online";
inline constexpr std::string_view kOffline = "offline";

/// The state topics' last level for the meter's seven functions, in the order of the
/// function table: "vac", "aac", "kw", "kva", "kvar", "pf", "energy".
inline constexpr std::array<std::string_view, 7> kStateTopicNames
    = {"vac", "aac", "kw", "kva", "kvar", "pf", "energy"};

/// The state topic's last level for a function code 1 … 7 (1 gives "vac"); empty for any
/// other code.
std::string_view stateTopicName(std::uint8_t functionCode);

/// True for an id that topics and Home Assistant take as it is: 1 to 64 letters, digits,
/// '_' and '-'.
bool isMqttDeviceId(std::string_view id);

/// An id made of `raw` (a serial number, a device name): letters, digits, '_' and '-' kept,
/// every other byte '_', at most 64 of them; "meter" when nothing is left.
std::string mqttDeviceId(std::string_view raw);

/// True for text a broker takes in a topic: well-formed UTF-8 without control characters
/// (U+0000 to U+001F, U+007F to U+009F), which brokers refuse as malformed.
bool isMqttText(std::string_view text);

/// True for a topic prefix of such text without wildcards ('+', '#'), a leading '$' (the
/// broker's own topics) or empty levels at its ends.
bool isTopicPrefix(std::string_view prefix);

/// The topics of one meter below PREFIX/ID.
class MqttTopics {
public:
    MqttTopics(std::string_view prefix, std::string_view id);

    /// PREFIX/ID, below which every topic of the meter lies.
    std::string base() const { return m_base.substr(0, m_base.size() - 1); }
    /// PREFIX/ID/reading: one message per reading.
    std::string reading() const { return m_base + "reading"; }
    /// PREFIX/ID/availability: "online" or "offline", retained.
    std::string availability() const { return m_base + "availability"; }
    /// PREFIX/ID/link: the meter link's state, retained.
    std::string link() const { return m_base + "link"; }
    /// PREFIX/ID/function: the state name of the function the dial is on ("vac" …), retained.
    std::string function() const { return m_base + "function"; }
    /// PREFIX/ID/NAME: a function's last value, retained.
    std::string state(std::string_view name) const { return m_base + std::string(name); }

private:
    std::string m_base; ///< "PREFIX/ID/"
};

} // namespace clampmeter
