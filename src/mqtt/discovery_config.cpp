// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mqtt/discovery_config.h"

#include "shared/flat_json.h"

#include <array>

namespace clampmeter {
namespace {

struct SensorKind {
    std::string_view name; ///< what Home Assistant shows
    std::string_view deviceClass;
    std::string_view unit; ///< empty: the sensor has none
    std::string_view stateClass;
};

// In the order of the function table and kStateTopicNames. The units are the spellings Home
// Assistant's sensor device classes accept ("kvar", not the panel's "kvAr").
constexpr std::array<SensorKind, 7> kSensors = {{
    {"Voltage", "voltage", "V", "measurement"},
    {"Current", "current", "A", "measurement"},
    {"Active power", "power", "kW", "measurement"},
    {"Apparent power", "apparent_power", "kVA", "measurement"},
    {"Reactive power", "reactive_power", "kvar", "measurement"},
    {"Power factor", "power_factor", "", "measurement"},
    {"Energy", "energy", "kWh", "total_increasing"},
}};

void appendMember(std::string& json, std::string_view key, std::string_view value)
{
    json += json.size() > 1 ? "," : "";
    appendJsonString(json, key);
    json += ':';
    appendJsonString(json, value);
}

std::string deviceBlock(std::string_view id, std::string_view version)
{
    std::string identifier = "clampmeter_" + std::string(id);
    std::string json = "{\"identifiers\":[";
    appendJsonString(json, identifier);
    json += "]";
    appendMember(json, "name", "Clamp meter " + std::string(id));
    appendMember(json, "model", "Power clamp meter");
    appendMember(json, "sw_version", version);
    return json + '}';
}

} // namespace

std::vector<DiscoveryMessage> discoveryMessages(std::string_view discoveryPrefix,
    const MqttTopics& topics, std::string_view id, std::string_view version)
{
    const std::string device = deviceBlock(id, version);
    std::vector<DiscoveryMessage> messages;
    for (std::size_t i = 0; i < kSensors.size(); ++i) {
        const SensorKind& sensor = kSensors[i];
        const std::string uniqueId
            = "clampmeter_" + std::string(id) + '_' + std::string(kStateTopicNames[i]);
        std::string json = "{";
        appendMember(json, "name", sensor.name);
        appendMember(json, "unique_id", uniqueId);
        appendMember(json, "state_topic", topics.state(kStateTopicNames[i]));
        appendMember(json, "device_class", sensor.deviceClass);
        appendMember(json, "state_class", sensor.stateClass);
        if (!sensor.unit.empty())
            appendMember(json, "unit_of_measurement", sensor.unit);
        appendMember(json, "availability_topic", topics.availability());
        appendMember(json, "payload_available", kOnline);
        appendMember(json, "payload_not_available", kOffline);
        json += ",\"device\":" + device + '}';
        messages.push_back(
            {std::string(discoveryPrefix) + "/sensor/" + uniqueId + "/config", std::move(json)});
    }
    return messages;
}

} // namespace clampmeter
