// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace clampmeter {

/// Where an MQTT broker listens, as the user wrote it: mqtt://[user@]host[:port] (plain,
/// port 1883) or mqtts://[user@]host[:port] (TLS, port 8883). A host may be a name, an IPv4
/// address or an IPv6 address in brackets.
struct BrokerUrl {
    bool tls = false;
    std::string user; ///< empty: no login
    std::string host; ///< IPv6 addresses keep their brackets
    std::uint16_t port = 0;

    /// The address for the MQTT client library: "tcp://host:port" or "ssl://host:port".
    std::string serverUri() const;
    /// "host:port", for messages.
    std::string address() const;
};

inline constexpr std::uint16_t kMqttPort = 1883;
inline constexpr std::uint16_t kMqttsPort = 8883;

/// Reads a broker URL. Nothing, with `problem` saying what is wrong, for an unknown scheme,
/// a missing host, a bad port, a password in the URL (it would show in every user's `ps`),
/// or anything after the port.
std::optional<BrokerUrl> parseBrokerUrl(std::string_view text, std::string& problem);

} // namespace clampmeter
