// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The logger's broker side on Eclipse Paho: the backlog in the user's state folder, the
// Paho client and the publisher's rules.

#include "journal/journal_folder.h"
#include "log/broker_texts.h"
#include "log/log_broker.h"
#include "log/mqtt_publisher.h"
#include "mqtt/broker_url.h"
#include "mqtt/discovery_config.h"
#include "platform/paho_broker_client.h"
#include "platform/usb_serial_number.h"
#include "reading_json.h"
#include "shared/version.h"

#include <filesystem>

namespace clampmeter::cli {
namespace {

constexpr std::string_view kBacklogFolder = "mqtt";

class MqttLogBroker final : public LogBroker {
public:
    MqttLogBroker(std::unique_ptr<ReadingBacklog> backlog, std::unique_ptr<PahoBrokerClient> client,
        PublisherSettings settings, PublisherHooks hooks)
        : m_backlog(std::move(backlog))
        , m_client(std::move(client))
        , m_publisher(*m_client, *m_backlog, std::move(settings), std::move(hooks))
    {
        m_publisher.start();
    }

    void reading(const MeasurementFrame& reading, std::string_view time) override
    {
        const std::optional<StateUpdate> state = stateUpdate(reading);
        m_publisher.addReading(readingJson(reading, time), state ? state->name : "",
            state ? std::string_view(state->value) : "");
    }
    void linkState(LinkState state) override { m_publisher.setLinkState(brokerLinkWords(state)); }
    void tick() override { m_publisher.tick(); }
    void close() override { m_publisher.close(); }
    std::string status() const override { return m_publisher.statusText(); }
    std::string summary() const override { return m_publisher.summaryText(); }

private:
    std::unique_ptr<ReadingBacklog> m_backlog;
    std::unique_ptr<PahoBrokerClient> m_client;
    MqttPublisher m_publisher;
};

} // namespace

bool logBrokerBuilt()
{
    return true;
}

std::string meterId(const MqttOptions& options, const std::string& port)
{
    if (!options.id.empty())
        return options.id;
    std::filesystem::path device(port);
    const std::string name = device.lexically_relative("/dev").string();
    const std::string tty = device.filename().string();
    const auto serial = usbSerialNumber("/sys/class/tty", tty);
    return mqttDeviceId(serial ? *serial : (name.empty() || name.starts_with("..") ? tty : name));
}

std::unique_ptr<LogBroker> openLogBroker(const MqttOptions& options, const std::string& id,
    const std::string& password, bool wait, LogBrokerHooks hooks, std::string& problem)
{
    const auto url = parseBrokerUrl(options.url, problem);
    if (!url)
        return nullptr;
    const auto stateFolder = defaultJournalFolder(kBacklogFolder);
    if (!stateFolder) {
        problem = "no folder for the readings waiting for the broker: neither XDG_STATE_HOME "
                  "nor HOME is set";
        return nullptr;
    }
    auto backlog = ReadingBacklog::open(*stateFolder / id, options.buffer, problem);
    if (!backlog)
        return nullptr;
    const MqttTopics topics(options.topicPrefix, id);
    BrokerConnection connection;
    connection.serverUri = url->serverUri();
    connection.clientId = "clampmeter-" + id;
    connection.user = url->user;
    connection.password = password;
    connection.caFile = options.caFile;
    connection.will = {topics.availability(), std::string(kOffline), 1, true};
    auto client = PahoBrokerClient::create(std::move(connection), problem);
    if (!client)
        return nullptr;

    PublisherSettings settings {url->address(), url->user, topics, {}, !wait};
    if (options.discovery) {
        for (DiscoveryMessage& message :
            discoveryMessages(options.discoveryPrefix, topics, id, kVersion))
            settings.onConnect.push_back(
                {std::move(message.topic), std::move(message.payload), 1, true});
    }
    PublisherHooks publisherHooks {std::move(hooks.say), std::move(hooks.stop),
        std::move(hooks.closed), [] { return PublisherHooks::Clock::now(); }};
    return std::make_unique<MqttLogBroker>(
        std::move(backlog), std::move(client), std::move(settings), std::move(publisherHooks));
}

} // namespace clampmeter::cli
