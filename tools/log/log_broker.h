// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/measurement_frame.h"
#include "log/link_watch.h"
#include "log/log_options.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace clampmeter::cli {

/// How the logger's broker side tells the session.
struct LogBrokerHooks {
    std::function<void(const std::string&)> say; ///< a message for standard error
    std::function<void(int)> stop; ///< the run must end with this exit code
    std::function<void()> closed; ///< close() has finished
};

/// The logger's publishing to an MQTT broker, on the session's event loop.
class LogBroker {
public:
    LogBroker() = default;
    LogBroker(const LogBroker&) = delete;
    LogBroker& operator=(const LogBroker&) = delete;
    virtual ~LogBroker() = default;

    /// A reading just logged, with the time its line has.
    virtual void reading(const MeasurementFrame& reading, std::string_view time) = 0;
    virtual void linkState(LinkState state) = 0;
    /// Once a second.
    virtual void tick() = 0;
    /// Says goodbye to the broker; the hook `closed` follows.
    virtual void close() = 0;
    /// For the status line: "broker online", "broker away, 12 waiting".
    virtual std::string status() const = 0;
    /// For the summary: "12 published, 12 acknowledged, 0 waiting".
    virtual std::string summary() const = 0;
};

/// Whether this build can publish to a broker.
bool logBrokerBuilt();

/// The meter's id in its topics: --mqtt-id, else the USB serial number of the bridge on
/// `port`, else the port's device name.
std::string meterId(const MqttOptions& options, const std::string& port);

/// Opens the backlog of meter `id` (in the user's state folder) and starts connecting.
/// Nothing, with `problem`, when that cannot be.
std::unique_ptr<LogBroker> openLogBroker(const MqttOptions& options, const std::string& id,
    const std::string& password, bool wait, LogBrokerHooks hooks, std::string& problem);

} // namespace clampmeter::cli
