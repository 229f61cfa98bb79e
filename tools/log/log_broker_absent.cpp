// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A build without the MQTT client library: --mqtt is refused.

#include "log/log_broker.h"

namespace clampmeter::cli {

bool logBrokerBuilt()
{
    return false;
}

std::string meterId(const MqttOptions& options, const std::string& /*port*/)
{
    return options.id;
}

std::unique_ptr<LogBroker> openLogBroker(const MqttOptions& /*options*/, const std::string& /*id*/,
    const std::string& /*password*/, bool /*wait*/, LogBrokerHooks /*hooks*/, std::string& problem)
{
    problem = "this build cannot publish to a broker";
    return nullptr;
}

} // namespace clampmeter::cli
