// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mqtt/mqtt_topics.h"

#include <string>
#include <string_view>
#include <vector>

namespace clampmeter {

/// One retained message of Home Assistant's MQTT discovery.
struct DiscoveryMessage {
    std::string topic; ///< DISCOVERY/sensor/clampmeter_ID_NAME/config
    std::string payload; ///< the sensor's configuration, a JSON object
};

/// The configurations that make one meter a Home Assistant device with a sensor for each of
/// its seven functions: a unique id, the device class, the state class (total_increasing for
/// energy, measurement for the rest), a unit every Home Assistant from 2024.1 on takes for
/// that class (none for the power factor, a plain ratio; VA and var for the meter's kVA and
/// kvar, scaled by a value template), the meter's own precision, the state topic, and three
/// availability topics that must all say so (the logger connected, the link reading, the
/// dial on this function), and the device block (identifiers, name, model, the program's
/// version).
std::vector<DiscoveryMessage> discoveryMessages(std::string_view discoveryPrefix,
    const MqttTopics& topics, std::string_view id, std::string_view version);

} // namespace clampmeter
