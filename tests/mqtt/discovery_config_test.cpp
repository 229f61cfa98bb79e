// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Home Assistant's discovery configurations of the seven sensors, held against the unit and
// state-class tables of every Home Assistant release from 2024.1 on, as its own source had
// them (fixtures/home_assistant_sensor_rules.json, with the source of each entry).

#include "mqtt/discovery_config.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace clampmeter {
namespace {

QJsonObject parse(const std::string& json)
{
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << json;
    return document.object();
}

std::vector<QJsonObject> configurations()
{
    const MqttTopics topics("clampmeter", "0001");
    std::vector<QJsonObject> objects;
    for (const DiscoveryMessage& message : discoveryMessages("homeassistant", topics, "0001", "1"))
        objects.push_back(parse(message.payload));
    return objects;
}

TEST(DiscoveryConfig, EveryHomeAssistantReleaseFrom2024TakesEverySensorWithoutAWord)
{
    QFile file(QStringLiteral(CLAMPMETER_HA_RULES));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << CLAMPMETER_HA_RULES;
    const QJsonArray releases
        = QJsonDocument::fromJson(file.readAll()).object()["releases"].toArray();
    ASSERT_FALSE(releases.isEmpty());
    const std::vector<QJsonObject> sensors = configurations();
    ASSERT_EQ(sensors.size(), 7U);
    for (const QJsonValue& entry : releases) {
        const QJsonObject release = entry.toObject();
        SCOPED_TRACE(release["version"].toString().toStdString());
        const QJsonObject classes = release["device_classes"].toObject();
        for (const QJsonObject& sensor : sensors) {
            SCOPED_TRACE(sensor["unique_id"].toString().toStdString());
            const QJsonObject rules = classes[sensor["device_class"].toString()].toObject();
            ASSERT_FALSE(rules.isEmpty()) << "a device class the release does not know";
            // No unit is JSON null in the table; an empty unit would be refused.
            const QJsonValue unit = sensor.contains("unit_of_measurement")
                ? sensor["unit_of_measurement"]
                : QJsonValue(QJsonValue::Null);
            EXPECT_FALSE(unit.isString() && unit.toString().isEmpty());
            EXPECT_TRUE(rules["units"].toArray().contains(unit))
                << unit.toString().toStdString() << " is not among the units of this release";
            EXPECT_TRUE(rules["state_classes"].toArray().contains(sensor["state_class"]));
        }
    }
}

TEST(DiscoveryConfig, ASensorIsAvailableOnlyWhileTheLoggerTheLinkAndTheDialSaySo)
{
    const char* names[] = {"vac", "aac", "kw", "kva", "kvar", "pf", "energy"};
    const std::vector<QJsonObject> sensors = configurations();
    ASSERT_EQ(sensors.size(), 7U);
    for (std::size_t i = 0; i < sensors.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const QJsonObject& sensor = sensors[i];
        EXPECT_FALSE(sensor.contains("availability_topic")) << "it cannot stand beside a list";
        EXPECT_EQ(sensor["availability_mode"].toString(), "all");
        const QJsonArray list = sensor["availability"].toArray();
        ASSERT_EQ(list.size(), 3);
        EXPECT_EQ(list[0].toObject()["topic"].toString(), "clampmeter/0001/availability");
        EXPECT_FALSE(list[0].toObject().contains("value_template"));
        EXPECT_EQ(list[1].toObject()["topic"].toString(), "clampmeter/0001/link");
        EXPECT_EQ(list[1].toObject()["value_template"].toString(),
            "{{ 'online' if value == 'reading' else 'offline' }}");
        EXPECT_EQ(list[2].toObject()["topic"].toString(), "clampmeter/0001/function");
        EXPECT_EQ(list[2].toObject()["value_template"].toString().toStdString(),
            "{{ 'online' if value == '" + std::string(names[i]) + "' else 'offline' }}");
        EXPECT_EQ(sensor["state_topic"].toString().toStdString(),
            "clampmeter/0001/" + std::string(names[i]));
    }
}

TEST(DiscoveryConfig, KvaAndKvarAreScaledToTheUnitsAnnouncedAndEachHasTheMetersPrecision)
{
    struct Case {
        const char* unit; ///< "" for none
        bool scaled;
        int precision;
    };
    const Case cases[] = {{"V", false, 1}, {"A", false, 2}, {"kW", false, 3}, {"VA", true, 0},
        {"var", true, 0}, {"", false, 2}, {"kWh", false, 3}};
    const std::vector<QJsonObject> sensors = configurations();
    ASSERT_EQ(sensors.size(), 7U);
    for (std::size_t i = 0; i < sensors.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(sensors[i]["unit_of_measurement"].toString(), cases[i].unit);
        EXPECT_EQ(sensors[i]["suggested_display_precision"].toInt(-1), cases[i].precision);
        EXPECT_EQ(sensors[i].contains("value_template"), cases[i].scaled);
        if (cases[i].scaled) {
            // The state stays as the meter shows it; "None" (no value now) passes through.
            EXPECT_EQ(sensors[i]["value_template"].toString(),
                "{{ value if value == 'None' else (value | float * 1000) | round(1) }}");
        }
    }
}

} // namespace
} // namespace clampmeter
