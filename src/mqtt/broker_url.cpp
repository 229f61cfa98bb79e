// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mqtt/broker_url.h"

#include <charconv>

namespace clampmeter {
namespace {

// 'text', for the messages.
std::string quoted(std::string_view text)
{
    std::string out(1, '\'');
    out += text;
    out += '\'';
    return out;
}

std::optional<std::uint16_t> parsePort(std::string_view text)
{
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc {} || end != text.data() + text.size() || value == 0
        || value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

// Splits "host[:port]" (host may be "[v6]"); false when the brackets are wrong or something
// else follows the host.
bool splitHostPort(
    std::string_view text, std::string_view& host, std::optional<std::string_view>& port)
{
    std::size_t hostEnd = 0;
    if (text.starts_with('[')) {
        hostEnd = text.find(']');
        if (hostEnd == std::string_view::npos || hostEnd == 1)
            return false;
        ++hostEnd;
    } else {
        hostEnd = text.find(':');
        if (hostEnd == std::string_view::npos)
            hostEnd = text.size();
    }
    host = text.substr(0, hostEnd);
    port.reset();
    const std::string_view rest = text.substr(hostEnd);
    if (rest.empty())
        return true;
    if (!rest.starts_with(':'))
        return false;
    port = rest.substr(1);
    return true;
}

} // namespace

std::string BrokerUrl::serverUri() const
{
    return (tls ? "ssl://" : "tcp://") + address();
}

std::string BrokerUrl::address() const
{
    return host + ':' + std::to_string(port);
}

std::optional<BrokerUrl> parseBrokerUrl(std::string_view text, std::string& problem)
{
    BrokerUrl url;
    const std::size_t schemeEnd = text.find("://");
    if (schemeEnd == std::string_view::npos) {
        problem = quoted(text) + " is no broker URL (mqtt://host or mqtts://host)";
        return std::nullopt;
    }
    const std::string_view scheme = text.substr(0, schemeEnd);
    if (scheme == "mqtts")
        url.tls = true;
    else if (scheme != "mqtt") {
        problem = "unknown scheme " + quoted(scheme) + " (mqtt:// or mqtts://)";
        return std::nullopt;
    }
    std::string_view rest = text.substr(schemeEnd + 3);
    if (const std::size_t at = rest.rfind('@'); at != std::string_view::npos) {
        const std::string_view user = rest.substr(0, at);
        if (user.find(':') != std::string_view::npos) {
            problem = "no password in the URL: it would show in every user's ps; use "
                      "CLAMPMETER_MQTT_PASSWORD or --mqtt-password-file";
            return std::nullopt;
        }
        if (user.empty()) {
            problem = "an empty user name before '@' in " + quoted(text);
            return std::nullopt;
        }
        url.user = std::string(user);
        rest = rest.substr(at + 1);
    }
    std::string_view host;
    std::optional<std::string_view> port;
    if (!splitHostPort(rest, host, port) || host.empty()
        || host.find_first_of("/?#") != std::string_view::npos) {
        problem = "no broker host in " + quoted(text);
        return std::nullopt;
    }
    url.host = std::string(host);
    if (!port) {
        url.port = url.tls ? kMqttsPort : kMqttPort;
    } else if (const auto number = parsePort(*port)) {
        url.port = *number;
    } else {
        problem = "bad port " + quoted(*port) + " in " + quoted(text);
        return std::nullopt;
    }
    return url;
}

} // namespace clampmeter
