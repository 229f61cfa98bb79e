// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "log/log_line.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace clampmeter::cli {

/// Publishing to an MQTT broker (--mqtt and its companions).
struct MqttOptions {
    std::string url; ///< empty: no broker
    std::string caFile; ///< --mqtt-ca: trusted instead of the system's certificates
    std::string passwordFile; ///< --mqtt-password-file
    std::string topicPrefix = "clampmeter";
    std::string id; ///< --mqtt-id; empty: from the bridge
    std::string discoveryPrefix = "homeassistant";
    bool discovery = true;
    std::uint64_t buffer = 1'000'000; ///< readings kept for the broker at most
};

struct LogOptions {
    LogFormat format = LogFormat::Csv;
    std::string output; ///< a file name, strftime fields allowed; empty for standard output
    std::string device; ///< a device path (a COM port on Windows); empty to look for the bridge
    std::optional<std::uint64_t> count; ///< end after this many readings
    std::optional<std::chrono::milliseconds> duration; ///< end after this long
    bool wait = false; ///< wait for a bridge that is missing at the start (and, with
                       ///< --mqtt, for a broker that refuses the login)
    MqttOptions mqtt;
    bool help = false;
};

/// Reads the options of `clampmeter-cli log`; returns what is wrong, or an empty text.
std::string parseLogOptions(std::span<const std::string_view> args, LogOptions& options);

#ifdef _WIN32
// Publishing to a broker is not in the Windows build: its options are refused there.
inline constexpr std::string_view kLogSynopsis
    = "clampmeter-cli log [--format csv|jsonl] [--output FILE] [--device PORT]\n"
      "                   [--count N] [--duration SECONDS] [--wait]\n";
#else
inline constexpr std::string_view kLogSynopsis
    = "clampmeter-cli log [--format csv|jsonl] [--output FILE] [--device PATH]\n"
      "                   [--count N] [--duration SECONDS] [--wait]\n"
      "                   [--mqtt URL [--mqtt-ca FILE] [--mqtt-password-file FILE]\n"
      "                    [--mqtt-topic PREFIX] [--mqtt-id ID] [--mqtt-buffer N]\n"
      "                    [--mqtt-discovery-prefix PREFIX | --no-mqtt-discovery]]\n";
#endif

} // namespace clampmeter::cli
