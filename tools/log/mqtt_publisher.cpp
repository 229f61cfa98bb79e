// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/mqtt_publisher.h"

#include "log/link_watch.h"

#include <algorithm>

namespace clampmeter::cli {
namespace {

std::string readingsText(std::uint64_t count)
{
    return std::to_string(count) + (count == 1 ? " reading" : " readings");
}

/// "1 reading waiting goes first", "350 readings waiting go now".
std::string waitingToGo(std::uint64_t count, std::string_view when)
{
    return readingsText(count) + " waiting " + (count == 1 ? "goes " : "go ") + std::string(when);
}

} // namespace

MqttPublisher::MqttPublisher(
    BrokerClient& client, ReadingBacklog& backlog, PublisherSettings settings, PublisherHooks hooks)
    : m_client(client)
    , m_backlog(backlog)
    , m_settings(std::move(settings))
    , m_hooks(std::move(hooks))
{
    m_client.setEvents(this);
}

MqttPublisher::~MqttPublisher()
{
    m_client.setEvents(nullptr);
}

void MqttPublisher::start()
{
    for (const std::string& note : m_backlog.notes())
        m_hooks.say("readings waiting for the broker: " + note);
    m_outageSince = m_hooks.now();
    attempt();
}

void MqttPublisher::attempt()
{
    m_state = State::Connecting;
    m_client.connect();
}

void MqttPublisher::addReading(
    std::string_view readingJson, std::string_view stateName, std::string_view stateValue)
{
    if (m_state == State::Closing || m_state == State::Closed)
        return;
    const std::string payload = "{\"seq\":" + std::to_string(m_backlog.nextSeq()) + ','
        + std::string(readingJson.substr(1));
    const std::uint64_t droppedBefore = m_backlog.dropped();
    if (!m_backlog.append(payload)) {
        if (!m_appendFailureSaid) {
            m_hooks.say("cannot keep readings for the broker on disk (" + m_backlog.failure()
                + "): they wait in memory and are sent all the same");
        }
        m_appendFailureSaid = true;
    } else {
        m_appendFailureSaid = false;
    }
    if (m_backlog.dropped() > droppedBefore && !m_dropSaid) {
        m_dropSaid = true;
        m_hooks.say("readings for the broker are dropped, the oldest not sent first: more wait "
                    "than --mqtt-buffer allows, or than memory keeps while the disk refuses "
                    "them; their numbers stay unused");
    }
    if (!stateName.empty()) {
        if (stateName != m_function) {
            m_function = std::string(stateName);
            if (m_state == State::Online)
                publishRetained(m_settings.topics.function(), m_function);
        }
        const std::string topic = m_settings.topics.state(stateName);
        StateTopic& state = m_states[topic];
        state.value = std::string(stateValue);
        publishState(topic, state, false);
    }
    pump();
}

void MqttPublisher::publishState(const std::string& topic, StateTopic& state, bool always)
{
    const auto now = m_hooks.now();
    if (m_state != State::Online)
        return;
    const bool waitsItsTurn = state.published && now - state.publishedAt < kStateInterval;
    if (!always && (state.value == state.published || waitsItsTurn))
        return;
    m_client.publish({topic, state.value, 0, true});
    state.published = state.value;
    state.publishedAt = now;
}

void MqttPublisher::setLinkState(std::string_view words)
{
    if (words == m_linkWords)
        return;
    m_linkWords = std::string(words);
    if (m_state == State::Online)
        publishRetained(m_settings.topics.link(), m_linkWords);
}

void MqttPublisher::tick()
{
    if (m_state == State::Away && m_hooks.now() >= m_retryAt)
        attempt();
    // A change that came within a second of the one before goes now.
    for (auto& [topic, state] : m_states)
        publishState(topic, state, false);
    if (!m_backlog.sync() && !m_appendFailureSaid) {
        m_appendFailureSaid = true;
        m_hooks.say("cannot keep readings for the broker on disk (" + m_backlog.failure()
            + "): they wait in memory and are sent all the same");
    }
}

void MqttPublisher::close()
{
    if (m_state == State::Closing || m_state == State::Closed)
        return;
    if (m_state != State::Online) {
        finishClose();
        return;
    }
    // What changed within the last second goes before the end.
    for (auto& [topic, state] : m_states) {
        if (state.value != state.published)
            publishState(topic, state, true);
    }
    m_state = State::Closing;
    publishRetained(m_settings.topics.availability(), kOffline);
    m_client.disconnect();
}

std::string MqttPublisher::statusText() const
{
    switch (m_state) {
    case State::Online:
    case State::Closing:
        return "broker online" + (m_backlog.waiting() > 0 ? ", " + waitingText() : "");
    case State::Idle:
    case State::Connecting:
        return "connecting to the broker, " + waitingText();
    case State::Away:
    case State::Closed:
        break;
    }
    return "broker away, " + waitingText();
}

std::string MqttPublisher::summaryText() const
{
    std::string text = std::to_string(m_published) + " published, " + std::to_string(m_acknowledged)
        + " acknowledged, " + waitingText();
    if (m_backlog.dropped() > 0)
        text += ", " + std::to_string(m_backlog.dropped()) + " dropped";
    return text;
}

std::string MqttPublisher::waitingText() const
{
    return std::to_string(m_backlog.waiting()) + " waiting";
}

void MqttPublisher::brokerConnected()
{
    if (m_state == State::Closed)
        return;
    const auto now = m_hooks.now();
    if (!m_everConnected) {
        const std::uint64_t waiting = m_backlog.waiting();
        m_hooks.say("publishing to the broker at " + m_settings.address + " as "
            + m_settings.topics.base() + (waiting > 0 ? "; " + waitingToGo(waiting, "first") : ""));
    } else if (m_outageSaid) {
        m_hooks.say("the broker at " + m_settings.address + " is back after "
            + spokenDuration(
                std::chrono::duration_cast<std::chrono::milliseconds>(now - m_outageSince))
            + "; " + waitingToGo(m_backlog.waiting(), "now"));
    }
    m_everConnected = true;
    m_outageSaid = false;
    m_retryDelay = kFirstRetry;
    m_state = State::Online;
    publishRetained(m_settings.topics.availability(), kOnline);
    if (!m_linkWords.empty())
        publishRetained(m_settings.topics.link(), m_linkWords);
    if (!m_function.empty())
        publishRetained(m_settings.topics.function(), m_function);
    bool refused = false;
    for (const BrokerMessage& message : m_settings.onConnect)
        refused = !m_client.publish(message) || refused;
    if (refused && !m_discoveryRefusalSaid) {
        m_discoveryRefusalSaid = true;
        m_hooks.say("the broker at " + m_settings.address
            + " did not take Home Assistant's discovery messages");
    }
    for (auto& [topic, state] : m_states)
        publishState(topic, state, true);
    pump();
}

void MqttPublisher::brokerConnectFailed(const ConnectFailure& failure)
{
    if (m_state != State::Connecting)
        return;
    if (failure.kind == ConnectFailure::Kind::Unreachable) {
        beginOutage("cannot reach the broker at " + m_settings.address, failure.reason);
        retryLater();
        return;
    }
    const std::string refused = failure.kind == ConnectFailure::Kind::Certificate
        ? "the broker at " + m_settings.address + " was refused: its certificate does not verify"
        : "the broker at " + m_settings.address + " refused the login"
            + (m_settings.user.empty() ? std::string() : " as " + m_settings.user);
    if (m_settings.stopOnRefusal && !m_everConnected) {
        m_state = State::Away;
        m_hooks.say(refused + " (" + failure.reason + ")");
        m_hooks.stop(1);
        return;
    }
    beginOutage(refused, failure.reason);
    retryLater();
}

void MqttPublisher::brokerLost(const std::string& reason)
{
    m_out.clear();
    m_backlog.putBack();
    if (m_state == State::Closing) {
        finishClose();
        return;
    }
    if (m_state != State::Online)
        return;
    m_outageSince = m_hooks.now();
    beginOutage("lost the broker at " + m_settings.address, reason);
    m_retryDelay = kFirstRetry;
    retryLater();
}

void MqttPublisher::beginOutage(std::string_view what, std::string_view reason)
{
    if (m_outageSaid)
        return;
    m_outageSaid = true;
    m_hooks.say(std::string(what) + (reason.empty() ? "" : " (" + std::string(reason) + ")")
        + "; readings wait on disk, " + waitingText() + ", trying again");
}

void MqttPublisher::retryLater()
{
    m_state = State::Away;
    m_retryAt = m_hooks.now() + m_retryDelay;
    m_retryDelay = std::min(m_retryDelay * 2, kLongestRetry);
}

void MqttPublisher::brokerDelivered(std::uint64_t id)
{
    const auto found = m_out.find(id);
    if (found == m_out.end())
        return;
    m_backlog.acknowledge(found->second);
    ++m_acknowledged;
    m_out.erase(found);
    pump();
}

void MqttPublisher::brokerDisconnected()
{
    if (m_state == State::Closing)
        finishClose();
}

void MqttPublisher::publishRetained(const std::string& topic, std::string_view payload)
{
    m_client.publish({topic, std::string(payload), 1, true});
}

void MqttPublisher::pump()
{
    if (m_state != State::Online)
        return;
    while (m_out.size() < m_settings.window) {
        std::optional<WaitingReading> reading = m_backlog.take();
        if (!reading)
            return;
        const auto id = m_client.publish({m_settings.topics.reading(), reading->payload, 1, false});
        if (!id) {
            // Not taken (the connection is going): it is the next to go.
            m_backlog.giveBack(reading->seq);
            return;
        }
        m_out.emplace(*id, reading->seq);
        ++m_published;
    }
}

void MqttPublisher::finishClose()
{
    m_state = State::Closed;
    m_backlog.sync();
    if (m_hooks.closed)
        m_hooks.closed();
}

} // namespace clampmeter::cli
