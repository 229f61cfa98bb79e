// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The logger's broker side against a recording broker client and a fake clock, with its
// backlog on real files: what goes out when, the outages and their messages, the retries,
// refusals and the goodbye.

#include "log/mqtt_publisher.h"

#include "../registry/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace clampmeter::cli {
namespace {

using namespace std::chrono_literals;
using Clock = MqttPublisher::Clock;

/// A broker client that records what it is asked; the test plays the broker's part.
class RecordingClient final : public BrokerClient {
public:
    struct Sent {
        std::uint64_t id;
        BrokerMessage message;
    };

    void setEvents(BrokerEvents* events) override { m_events = events; }
    void connect() override { ++connects; }
    std::optional<std::uint64_t> publish(const BrokerMessage& message) override
    {
        if (!online)
            return std::nullopt;
        sent.push_back({++m_lastId, message});
        return m_lastId;
    }
    void disconnect() override { ++disconnects; }

    BrokerEvents& events() { return *m_events; }

    /// The payloads sent to `topic`, in order.
    std::vector<std::string> payloads(const std::string& topic) const
    {
        std::vector<std::string> out;
        for (const Sent& s : sent) {
            if (s.message.topic == topic)
                out.push_back(s.message.payload);
        }
        return out;
    }
    /// Acknowledges every QoS 1 message sent and not yet acknowledged.
    void acknowledgeAll()
    {
        const std::vector<Sent> pending = sent;
        for (const Sent& s : pending) {
            if (s.message.qos == 1
                && std::find(m_acked.begin(), m_acked.end(), s.id) == m_acked.end()) {
                m_acked.push_back(s.id);
                m_events->brokerDelivered(s.id);
            }
        }
    }

    bool online = false;
    int connects = 0;
    int disconnects = 0;
    std::vector<Sent> sent;

private:
    BrokerEvents* m_events = nullptr;
    std::uint64_t m_lastId = 0;
    std::vector<std::uint64_t> m_acked;
};

class PublisherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string problem;
        m_backlog = ReadingBacklog::open(m_temp.path() / "0001", 1000, problem);
        ASSERT_NE(m_backlog, nullptr) << problem;
    }

    MqttPublisher& makePublisher(bool stopOnRefusal = true, std::size_t window = 256)
    {
        PublisherSettings settings {"broker.lan:1883", "meter", MqttTopics("cm", "0001"),
            {{"ha/sensor/x/config", "{}", 1, true}}, stopOnRefusal, window};
        PublisherHooks hooks;
        hooks.say = [this](const std::string& text) { said.push_back(text); };
        hooks.stop = [this](int code) { stoppedWith = code; };
        hooks.closed = [this] { closed = true; };
        hooks.now = [this] { return now; };
        m_publisher.reset();
        m_publisher
            = std::make_unique<MqttPublisher>(client, *m_backlog, std::move(settings), hooks);
        return *m_publisher;
    }

    void connectNow()
    {
        client.online = true;
        client.events().brokerConnected();
    }
    void loseBroker()
    {
        client.online = false;
        client.events().brokerLost("connection lost");
    }
    void failAttempt(ConnectFailure::Kind kind = ConnectFailure::Kind::Unreachable)
    {
        client.events().brokerConnectFailed({kind, "because"});
    }
    /// Lets `span` pass, a tick a second, as the session does.
    void pass(std::chrono::seconds span)
    {
        for (auto s = 0s; s < span; s += 1s) {
            now += 1s;
            m_publisher->tick();
        }
    }
    void addReadings(int count)
    {
        for (int i = 0; i < count; ++i)
            m_publisher->addReading("{\"main\":\"" + std::to_string(++m_made) + "\"}", "", "");
    }
    /// The reading messages' "seq" numbers and "main" texts sent so far, in order.
    std::vector<std::string> readingsSent() const { return client.payloads("cm/0001/reading"); }

    static std::string reading(int seq, int main)
    {
        return "{\"seq\":" + std::to_string(seq) + ",\"main\":\"" + std::to_string(main) + "\"}";
    }

    TempFolder m_temp;
    std::unique_ptr<ReadingBacklog> m_backlog;
    RecordingClient client;
    std::unique_ptr<MqttPublisher> m_publisher;
    Clock::time_point now {};
    std::vector<std::string> said;
    std::optional<int> stoppedWith;
    bool closed = false;
    int m_made = 0;
};

TEST_F(PublisherTest, AtEachConnectionAvailabilityLinkDiscoveryAndStatesGoRetainedThenTheReadings)
{
    MqttPublisher& publisher = makePublisher();
    publisher.setLinkState("reading");
    publisher.start();
    EXPECT_EQ(client.connects, 1);
    publisher.addReading("{\"main\":\"229.8\"}", "vac", "229.9");
    publisher.addReading("{\"main\":\"OL\"}", "", "");
    EXPECT_TRUE(client.sent.empty()) << "nothing before the connection";

    connectNow();
    ASSERT_GE(client.sent.size(), 7U);
    const std::vector<std::pair<std::string, std::string>> first = {
        {"cm/0001/availability", "online"},
        {"cm/0001/link", "reading"},
        {"cm/0001/function", "vac"},
        {"ha/sensor/x/config", "{}"},
        {"cm/0001/vac", "229.9"},
        {"cm/0001/reading", "{\"seq\":1,\"main\":\"229.8\"}"},
        {"cm/0001/reading", "{\"seq\":2,\"main\":\"OL\"}"},
    };
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(client.sent[i].message.topic, first[i].first) << i;
        EXPECT_EQ(client.sent[i].message.payload, first[i].second) << i;
        const bool reading = first[i].first.ends_with("/reading");
        EXPECT_EQ(client.sent[i].message.retained, !reading) << i;
        EXPECT_EQ(client.sent[i].message.qos, first[i].first.ends_with("/vac") ? 0 : 1) << i;
    }

    // Live: each reading's state at once, the link only when it changes.
    publisher.addReading("{\"main\":\"10\"}", "aac", "10.5");
    publisher.setLinkState("reading");
    publisher.setLinkState("no data");
    EXPECT_EQ(client.payloads("cm/0001/aac"), std::vector<std::string> {"10.5"});
    EXPECT_EQ(client.payloads("cm/0001/link"), (std::vector<std::string> {"reading", "no data"}));
    EXPECT_EQ(said.size(), 1U);
    EXPECT_EQ(said.front(),
        "publishing to the broker at broker.lan:1883 as cm/0001; 2 readings "
        "waiting go first");
}

TEST_F(PublisherTest, AStateChangesAtMostOnceASecondWithItsLatestValueAndTheDialIsTold)
{
    MqttPublisher& publisher = makePublisher();
    publisher.start();
    connectNow();
    const auto state = [&](const char* name, const char* value) {
        publisher.addReading("{\"main\":\"x\"}", name, value);
    };
    state("vac", "230.0");
    now += 300ms;
    state("vac", "230.1");
    now += 300ms;
    state("vac", "230.2");
    EXPECT_EQ(client.payloads("cm/0001/vac"), std::vector<std::string> {"230.0"});
    pass(1s); // the last change goes with the next tick
    EXPECT_EQ(client.payloads("cm/0001/vac"), (std::vector<std::string> {"230.0", "230.2"}));
    pass(3s);
    state("vac", "230.2");
    EXPECT_EQ(client.payloads("cm/0001/vac").size(), 2U) << "no change, nothing sent";

    // The dial turned: the function topic says so once; "OL" is no value.
    state("kva", "1.5");
    state("kva", "None");
    pass(1s);
    EXPECT_EQ(client.payloads("cm/0001/function"), (std::vector<std::string> {"vac", "kva"}));
    EXPECT_EQ(client.payloads("cm/0001/kva"), (std::vector<std::string> {"1.5", "None"}));
}

TEST_F(PublisherTest, OneReadingWaitingGoesFirst)
{
    MqttPublisher& publisher = makePublisher();
    publisher.start();
    publisher.addReading("{\"main\":\"229.8\"}", "vac", "229.9");
    connectNow();
    ASSERT_EQ(said.size(), 1U);
    EXPECT_EQ(said.front(),
        "publishing to the broker at broker.lan:1883 as cm/0001; 1 reading waiting goes first");
}

TEST_F(PublisherTest, AtMostAWindowOfReadingsIsOutAndEachAcknowledgementLetsTheNextGo)
{
    MqttPublisher& publisher = makePublisher(true, 3);
    publisher.start();
    addReadings(5);
    connectNow();
    EXPECT_EQ(
        readingsSent(), (std::vector<std::string> {reading(1, 1), reading(2, 2), reading(3, 3)}));
    client.acknowledgeAll();
    EXPECT_EQ(readingsSent().size(), 5U);
    EXPECT_EQ(publisher.statusText(), "broker online, 2 waiting");
    client.acknowledgeAll();
    EXPECT_EQ(publisher.statusText(), "broker online");
    EXPECT_EQ(publisher.summaryText(), "5 published, 5 acknowledged, 0 waiting");
}

TEST_F(PublisherTest, AnOutageIsSaidOnceReadingsWaitAndGoInOrderWithTheUnacknowledgedAgain)
{
    MqttPublisher& publisher = makePublisher();
    publisher.start();
    connectNow();
    addReadings(3);
    client.events().brokerDelivered(client.sent.back().id - 1); // seq 2 only
    loseBroker();
    addReadings(2);
    EXPECT_EQ(publisher.statusText(), "broker away, 4 waiting");

    // Retries after 1, 2, 4, 8 s, each one failing, say nothing more.
    std::vector<Clock::time_point> attempts;
    for (int second = 0; second < 20; ++second) {
        const int before = client.connects;
        pass(1s);
        if (client.connects > before) {
            attempts.push_back(now);
            failAttempt();
        }
    }
    ASSERT_EQ(attempts.size(), 4U);
    EXPECT_EQ(attempts[1] - attempts[0], 2s);
    EXPECT_EQ(attempts[2] - attempts[1], 4s);
    EXPECT_EQ(attempts[3] - attempts[2], 8s);
    ASSERT_EQ(said.size(), 2U);
    EXPECT_EQ(said[1],
        "lost the broker at broker.lan:1883 (connection lost); readings wait on "
        "disk, 2 waiting, trying again");

    const std::size_t before = readingsSent().size();
    while (client.connects == 5)
        pass(1s);
    connectNow();
    const std::vector<std::string> all = readingsSent();
    EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<long>(before), all.end()),
        (std::vector<std::string> {reading(1, 1), reading(3, 3), reading(4, 4), reading(5, 5)}));
    ASSERT_EQ(said.size(), 3U);
    EXPECT_TRUE(said[2].starts_with("the broker at broker.lan:1883 is back after ")) << said[2];
    EXPECT_TRUE(said[2].ends_with("; 4 readings waiting go now")) << said[2];
}

TEST_F(PublisherTest, RetriesBackOffToAMinuteAndStartAgainFromASecondAfterASuccess)
{
    makePublisher();
    m_publisher->start();
    failAttempt();
    std::vector<std::chrono::seconds> gaps;
    Clock::time_point last = now;
    while (gaps.size() < 9) {
        const int before = client.connects;
        pass(1s);
        if (client.connects > before) {
            gaps.push_back(std::chrono::duration_cast<std::chrono::seconds>(now - last));
            last = now;
            failAttempt();
        }
    }
    EXPECT_EQ(gaps, (std::vector<std::chrono::seconds> {1s, 2s, 4s, 8s, 16s, 32s, 60s, 60s, 60s}));
    EXPECT_EQ(said.size(), 1U) << "the broker unreachable at the start is said once";
    EXPECT_TRUE(said[0].starts_with("cannot reach the broker at broker.lan:1883 (because)"));

    while (client.connects == 10)
        pass(1s);
    connectNow();
    loseBroker();
    const int before = client.connects;
    pass(1s);
    EXPECT_EQ(client.connects, before + 1);
}

TEST_F(PublisherTest, ARefusedLoginOrCertificateAtTheStartEndsTheRunUnlessItWaits)
{
    for (const auto kind :
        {ConnectFailure::Kind::LoginRefused, ConnectFailure::Kind::Certificate}) {
        said.clear();
        stoppedWith.reset();
        makePublisher(true).start();
        failAttempt(kind);
        EXPECT_EQ(stoppedWith, 1);
        ASSERT_EQ(said.size(), 1U);
        EXPECT_EQ(said[0],
            kind == ConnectFailure::Kind::LoginRefused
                ? "the broker at broker.lan:1883 refused the login as meter (because)"
                : "the broker at broker.lan:1883 was refused: its certificate does not verify "
                  "(because)");
    }

    said.clear();
    stoppedWith.reset();
    makePublisher(false).start();
    failAttempt(ConnectFailure::Kind::LoginRefused);
    pass(1s);
    failAttempt(ConnectFailure::Kind::LoginRefused);
    EXPECT_FALSE(stoppedWith.has_value());
    EXPECT_EQ(client.connects, 4);
    ASSERT_EQ(said.size(), 1U);
    EXPECT_TRUE(said[0].ends_with("trying again")) << said[0];
}

TEST_F(PublisherTest, TheGoodbyeSaysOfflineWaitsForTheBrokerAndEndsAtOnceWhenItIsAway)
{
    MqttPublisher& publisher = makePublisher();
    publisher.start();
    connectNow();
    addReadings(2);
    publisher.close();
    EXPECT_EQ(client.sent.back().message.topic, "cm/0001/availability");
    EXPECT_EQ(client.sent.back().message.payload, "offline");
    EXPECT_TRUE(client.sent.back().message.retained);
    EXPECT_EQ(client.disconnects, 1);
    addReadings(1);
    EXPECT_EQ(readingsSent().size(), 2U) << "nothing new after the goodbye";
    client.acknowledgeAll();
    EXPECT_FALSE(closed);
    client.events().brokerDisconnected();
    EXPECT_TRUE(closed);
    EXPECT_EQ(publisher.summaryText(), "2 published, 2 acknowledged, 0 waiting");

    closed = false;
    MqttPublisher& away = makePublisher();
    away.start();
    failAttempt();
    away.close();
    EXPECT_TRUE(closed);
    EXPECT_EQ(client.disconnects, 1);
}

} // namespace
} // namespace clampmeter::cli
