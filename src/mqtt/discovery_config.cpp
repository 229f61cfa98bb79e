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
    std::string_view unit; ///< empty: the sensor has none (the key is left out)
    std::string_view stateClass;
    int precision; ///< suggested_display_precision, in the unit announced
    bool thousands; ///< the state is in thousands of the unit announced (kVA as VA)
};

// In the order of the function table and kStateTopicNames. Every unit here is one that every
// Home Assistant release from 2024.1 on takes for its device class without a word: "kVA"
// came only with 2025.10 and "kvar" with 2025.5, and from 2025.7 a unit that does not fit is
// refused outright, so apparent and reactive power are announced in VA and var, the state
// (as the meter shows it, in kVA and kvar) scaled by the value template.
constexpr std::array<SensorKind, 7> kSensors = {{
    {"Voltage", "voltage", "V", "measurement", 1, false},
    {"Current", "current", "A", "measurement", 2, false},
    {"Active power", "power", "kW", "measurement", 3, false},
    {"Apparent power", "apparent_power", "VA", "measurement", 0, true},
    {"Reactive power", "reactive_power", "var", "measurement", 0, true},
    {"Power factor", "power_factor", "", "measurement", 2, false},
    {"Energy", "energy", "kWh", "total_increasing", 3, false},
}};

// A state of "None" makes the sensor unknown; the template runs before that test, so it lets
// "None" through.
constexpr std::string_view kThousandsTemplate
    = "{{ value if value == 'None' else (value | float * 1000) | round(1) }}";

/// One entry of the availability list: a topic, and a template that turns what it says into
/// "online" or "offline" (none for the logger's own availability topic).
void appendAvailability(std::string& json, std::string_view topic, std::string_view whenOnline)
{
    json += json.back() == '[' ? "{" : ",{";
    appendJsonString(json, "topic");
    json += ':';
    appendJsonString(json, topic);
    if (!whenOnline.empty()) {
        json += ",";
        appendJsonString(json, "value_template");
        json += ':';
        appendJsonString(
            json, "{{ 'online' if value == '" + std::string(whenOnline) + "' else 'offline' }}");
    }
    json += '}';
}

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
        if (sensor.thousands)
            appendMember(json, "value_template", kThousandsTemplate);
        json += ",\"suggested_display_precision\":" + std::to_string(sensor.precision);
        // Available only while the logger is connected, the meter is read and its dial is on
        // this function: a value of a function the meter does not show is no current value.
        json += ",\"availability\":[";
        appendAvailability(json, topics.availability(), {});
        appendAvailability(json, topics.link(), "reading");
        appendAvailability(json, topics.function(), kStateTopicNames[i]);
        json += "],\"availability_mode\":\"all\"";
        json += ",\"device\":" + device + '}';
        messages.push_back(
            {std::string(discoveryPrefix) + "/sensor/" + uniqueId + "/config", std::move(json)});
    }
    return messages;
}

} // namespace clampmeter
