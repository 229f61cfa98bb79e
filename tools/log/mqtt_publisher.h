// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mqtt/broker_client.h"
#include "mqtt/mqtt_topics.h"
#include "mqtt/reading_backlog.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clampmeter::cli {

/// What the publisher needs to know besides its client and backlog.
struct PublisherSettings {
    std::string address; ///< "host:port", for the messages
    std::string user; ///< the login's user name, for the messages; may be empty
    MqttTopics topics;
    /// Retained messages published at every connection (Home Assistant's discovery).
    std::vector<BrokerMessage> onConnect;
    /// A login refused (or a certificate not trusted) before any connection ends the run.
    bool stopOnRefusal = true;
    /// Readings sent and not yet acknowledged at most.
    std::size_t window = 256;
};

/// How the publisher tells the world.
struct PublisherHooks {
    using Clock = std::chrono::steady_clock;
    std::function<void(const std::string&)> say; ///< one message for standard error
    std::function<void(int)> stop; ///< the run must end with this exit code
    std::function<void()> closed; ///< close() has finished
    std::function<Clock::time_point()> now;
};

/// The logger's side of the broker. Every reading is first kept in the backlog and numbered,
/// then sent from there in order, QoS 1, as PREFIX/ID/reading; the broker's acknowledgement
/// settles it. A reading of one of the seven functions also sets that function's retained
/// state topic (its number as the meter shows it, or "None"), when it changed and at most
/// once a second, and PREFIX/ID/function when the dial moved. While the broker is away nothing
/// waits on it: readings pile up on disk and go, in order, once it is back; a connection is tried
/// again after 1 s, then after twice as long each time, up to 60 s. Each outage is said once.
///
/// At every connection: "online" on PREFIX/ID/availability ("offline" is the will and is
/// published again by close()), the link's state, the discovery configurations and the
/// last state of each function, all retained.
class MqttPublisher final : public BrokerEvents {
public:
    using Clock = PublisherHooks::Clock;
    static constexpr std::chrono::seconds kFirstRetry {1};
    static constexpr std::chrono::seconds kLongestRetry {60};
    /// A state topic changes at most this often; the last change waits its turn.
    static constexpr std::chrono::seconds kStateInterval {1};

    enum class State : std::uint8_t { Idle, Connecting, Online, Away, Closing, Closed };

    /// `client` and `backlog` must outlive this object; it takes the client's events.
    MqttPublisher(BrokerClient& client, ReadingBacklog& backlog, PublisherSettings settings,
        PublisherHooks hooks);
    ~MqttPublisher() override;
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    /// The first connection attempt.
    void start();
    /// One reading: `readingJson` is its JSON object (the keys of the jsonl format), which
    /// gets "seq" first; `stateName` (may be empty) and `stateValue` set a state topic.
    void addReading(
        std::string_view readingJson, std::string_view stateName, std::string_view stateValue);
    /// The meter link's state in words ("reading", "no data", "looking for the bridge").
    void setLinkState(std::string_view words);
    /// Once a second: connection retries, and the backlog written through to the disk.
    void tick();
    /// Publishes "offline", waits for the broker to acknowledge what is out and disconnects;
    /// at once when the broker is away. The hook `closed` follows.
    void close();

    State state() const { return m_state; }
    /// "broker online", "broker away, 1234 waiting", … for the status line.
    std::string statusText() const;
    /// "1200 published, 1200 acknowledged, 0 waiting" (and the readings dropped, if any).
    std::string summaryText() const;

    void brokerConnected() override;
    void brokerConnectFailed(const ConnectFailure& failure) override;
    void brokerLost(const std::string& reason) override;
    void brokerDelivered(std::uint64_t id) override;
    void brokerDisconnected() override;

private:
    void attempt();
    void beginOutage(std::string_view what, std::string_view reason);
    void retryLater();
    void publishRetained(const std::string& topic, std::string_view payload);
    void pump();
    void finishClose();
    std::string waitingText() const;

    /// A state topic's value now and as last published.
    struct StateTopic {
        std::string value;
        std::optional<std::string> published; ///< nothing before the first
        Clock::time_point publishedAt {};
    };
    /// Publishes the state's value when it changed and a second has passed since the last
    /// one (`now`), or at once with `always` (a new connection).
    void publishState(const std::string& topic, StateTopic& state, bool always);

    BrokerClient& m_client;
    ReadingBacklog& m_backlog;
    PublisherSettings m_settings;
    PublisherHooks m_hooks;
    State m_state = State::Idle;
    bool m_everConnected = false;
    bool m_outageSaid = false;
    Clock::time_point m_outageSince;
    Clock::time_point m_retryAt;
    std::chrono::seconds m_retryDelay = kFirstRetry;
    std::map<std::uint64_t, std::uint64_t> m_out; ///< message number → reading number
    std::map<std::string, StateTopic, std::less<>> m_states;
    std::string m_function; ///< the state name of the function the dial is on
    std::string m_linkWords;
    bool m_dropSaid = false;
    bool m_appendFailureSaid = false;
    bool m_discoveryRefusalSaid = false;
    std::uint64_t m_published = 0;
    std::uint64_t m_acknowledged = 0;
};

} // namespace clampmeter::cli
