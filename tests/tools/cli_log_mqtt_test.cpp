// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The real clampmeter-cli log publishing to a real mosquitto: the simulator's frames on a
// pseudo-terminal, the jsonl file beside the broker's messages, the broker stopped and
// started again, the logger killed, logins refused and TLS.

#include "cli_process.h"
#include "mqtt_test_broker.h"
#include "platform/pseudo_terminal.h"
#include "simulator/frame_encoder.h"
#include "simulator/meter_simulator.h"

#include "../registry/temp_folder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <map>
#include <set>
#include <thread>

namespace clampmeter::cli {
namespace {

using namespace std::chrono_literals;
using test::ChildProcess;
using test::fileText;
using test::ReceivedMessage;
using test::TestBroker;
using test::TestSubscriber;
using test::textLines;
using test::waitFor;

// Generous: the sanitizers slow the logger down, the machine may be loaded, and the logger's
// retries back off to several seconds; a pass never waits these out.
constexpr auto kPatience = 60s;
// Long enough for a state that does not come to be missed; a pass never waits it out.
constexpr auto kStatePatience = 15s;
constexpr std::string_view kMeterId = "test-meter";

/// "seq" of a reading message, or 0.
std::uint64_t seqOf(const std::string& payload)
{
    constexpr std::string_view prefix = "{\"seq\":";
    if (!payload.starts_with(prefix))
        return 0;
    return std::strtoull(payload.c_str() + prefix.size(), nullptr, 10);
}

class LogToBroker : public testing::Test {
protected:
    void SetUp() override
    {
        m_broker = std::make_unique<TestBroker>(m_temp.path() / "broker");
        ASSERT_TRUE(m_broker->prepare())
            << fileText((m_temp.path() / "broker/prepare.log").string());
        ASSERT_TRUE(m_broker->start()) << m_broker->log();
        m_pty = PseudoTerminal::open();
        ASSERT_TRUE(m_pty.has_value());
        ::setenv("XDG_STATE_HOME", (m_temp.path() / "state").c_str(), 1);
        ::setenv("CLAMPMETER_MQTT_PASSWORD", test::kBrokerPassword.data(), 1);
        m_feeder = std::thread([this] { feed(); });
    }
    void TearDown() override
    {
        m_ending = true;
        m_feeder.join();
        m_log.reset();
        m_broker->stop();
    }

    std::string url(bool tls = false) const
    {
        return std::string(tls ? "mqtts://" : "mqtt://") + std::string(test::kBrokerUser)
            + "@127.0.0.1:" + std::to_string(tls ? m_broker->tlsPort() : m_broker->port());
    }

    /// Starts the logger on the pseudo-terminal, jsonl into the test's file, publishing as
    /// kMeterId, with `more` options.
    void startLog(std::vector<std::string> more = {}, const std::string& broker = {})
    {
        std::vector<std::string> args {CLAMPMETER_CLI_PATH, "log", "--device", m_pty->slavePath(),
            "--format", "jsonl", "--output", readingsFile(), "--mqtt",
            broker.empty() ? url() : broker, "--mqtt-id", std::string(kMeterId)};
        args.insert(args.end(), more.begin(), more.end());
        m_log.reset();
        m_log = std::make_unique<ChildProcess>(
            args, (m_temp.path() / "log.out").string(), (m_temp.path() / "log.err").string());
        ASSERT_TRUE(m_log->started());
    }
    /// Once the logger is connected and the line is open, the simulator's frames flow, unless
    /// the test sends its own.
    enum class Frames { Simulator, Own };
    void waitUntilPublishing(Frames frames = Frames::Simulator)
    {
        ASSERT_TRUE(waitFor(
            [this] {
                const std::string err = errText();
                return err.find("reading the meter on") != std::string::npos
                    && err.find("publishing to the broker") != std::string::npos;
            },
            kPatience))
            << errText();
        m_feeding = frames == Frames::Simulator;
    }
    void endLog()
    {
        m_log->signal(SIGTERM);
        const auto exitCode = m_log->wait(kPatience);
        ASSERT_EQ(exitCode, 0) << errText();
    }
    void killLog()
    {
        m_log->signal(SIGKILL);
        m_log->wait(kPatience);
        // The simulator goes on, as clampmeter-cli simulate does: its next frames find the
        // dead reader's bytes unread and clear its claim on the line, so that a logger of an
        // ordinary user opens it again.
        EXPECT_TRUE(waitFor([this] { return !m_pty->claimed(); }, kPatience));
        m_feeding = false;
    }

    std::string readingsFile() const { return (m_temp.path() / "readings.jsonl").string(); }
    std::vector<std::string> lines() const { return textLines(fileText(readingsFile())); }
    std::string errText() const { return fileText((m_temp.path() / "log.err").string()); }
    std::string topic(const std::string& last) const
    {
        return "clampmeter/" + std::string(kMeterId) + "/" + last;
    }
    std::vector<std::string> readingMessages(const TestSubscriber& subscriber) const
    {
        return subscriber.payloads(topic("reading"));
    }
    bool waitForLines(std::size_t count) const
    {
        return waitFor([&] { return lines().size() >= count; }, kPatience);
    }
    /// Every line of the file has come as its reading message, numbered by its place.
    bool allArrived(const TestSubscriber& subscriber) const
    {
        std::set<std::uint64_t> seqs;
        for (const std::string& payload : readingMessages(subscriber))
            seqs.insert(seqOf(payload));
        return seqs.size() >= lines().size();
    }

    /// Each reading message is its jsonl line with "seq" first, in the order of the numbers,
    /// each line came, and a repeat is the same message again. Numbers go one by one within
    /// a run; a run after a kill starts past the numbers the killed one had reserved.
    void expectEveryLineArrivedOnce(const TestSubscriber& subscriber, bool repeatsAllowed) const
    {
        const std::vector<std::string> file = lines();
        std::map<std::uint64_t, std::string> bySeq;
        std::size_t repeats = 0;
        for (const std::string& payload : readingMessages(subscriber)) {
            const std::uint64_t seq = seqOf(payload);
            ASSERT_GE(seq, 1U) << payload;
            const auto [at, fresh] = bySeq.emplace(seq, payload);
            if (!fresh) {
                ++repeats;
                EXPECT_EQ(at->second, payload) << "a repeat is the same reading";
            }
        }
        ASSERT_EQ(bySeq.size(), file.size()) << "every reading arrived";
        std::size_t place = 0;
        for (const auto& [seq, payload] : bySeq) {
            EXPECT_EQ(payload, "{\"seq\":" + std::to_string(seq) + "," + file[place].substr(1));
            ++place;
        }
        if (!repeatsAllowed) {
            EXPECT_EQ(repeats, 0U);
        }
    }

    /// One frame of the test's own on the line, while the simulator is not feeding.
    void sendFrame(const FrameFields& fields)
    {
        ASSERT_TRUE(m_pty->write(encodeFrame(fields)));
        std::this_thread::sleep_for(300ms);
    }

    std::unique_ptr<TestBroker> m_broker;
    std::unique_ptr<ChildProcess> m_log;
    std::atomic<bool> m_feeding {false};

private:
    // The simulator's frames at the line's full rate while m_feeding is set.
    void feed()
    {
        MeterSimulator meter({SimulatorScenario::Tour, 7, kShortestInterval});
        while (!m_ending) {
            if (!m_feeding) {
                std::this_thread::sleep_for(20ms);
                continue;
            }
            const SimulatedBurst burst = meter.next();
            m_pty->write(burst.bytes);
            std::this_thread::sleep_for(timeOnLine(burst.bytes.size()) + burst.gap + 50ms);
        }
    }

    TempFolder m_temp;
    std::optional<PseudoTerminal> m_pty;
    std::thread m_feeder;
    std::atomic<bool> m_ending {false};
};

TEST_F(LogToBroker, ReadingsArriveInOrderNumberedOneByOneAndEqualTheJsonlLines)
{
    TestSubscriber subscriber(m_broker->port(), "watcher", "clampmeter/#");
    ASSERT_TRUE(waitFor([&] { return subscriber.subscribed(); }, kPatience));
    startLog();
    waitUntilPublishing();
    ASSERT_TRUE(waitForLines(25)) << errText();
    endLog();
    ASSERT_TRUE(waitFor([&] { return allArrived(subscriber); }, kPatience)) << errText();

    expectEveryLineArrivedOnce(subscriber, false);
    std::vector<std::uint64_t> order;
    for (const std::string& payload : readingMessages(subscriber))
        order.push_back(seqOf(payload));
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end())) << "in order";
    EXPECT_EQ(order.front(), 1U);
    EXPECT_EQ(order.back(), order.size()) << "numbered one by one";

    // Each function's state is its last reading's number as the panel showed it, or "None"
    // where the panel showed none; the function topic names the dial's last function.
    std::map<std::string, std::string> lastValue;
    std::string lastFunction;
    for (const std::string& line : lines()) {
        const QJsonObject reading
            = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        const std::string main = reading["main"].toString().trimmed().toStdString();
        const std::map<std::string, std::string> names {{"FUN_VAC", "vac"}, {"FUN_AAC", "aac"},
            {"FUN_KW", "kw"}, {"FUN_KVA", "kva"}, {"FUN_KVAR", "kvar"}, {"FUN_COS", "pf"},
            {"FUN_ENERGY", "energy"}};
        const auto name = names.find(reading["fun"].toString().toStdString());
        if (name == names.end())
            continue;
        lastValue[name->second] = main == "OL" || main == "----" || main.empty() ? "None" : main;
        lastFunction = name->second;
    }
    ASSERT_FALSE(lastValue.empty());
    for (const auto& [name, value] : lastValue) {
        const std::vector<std::string> states = subscriber.payloads(topic(name));
        ASSERT_FALSE(states.empty()) << name;
        EXPECT_EQ(states.back(), value) << name;
    }
    ASSERT_FALSE(subscriber.payloads(topic("function")).empty());
    EXPECT_EQ(subscriber.payloads(topic("function")).back(), lastFunction);
    EXPECT_EQ(subscriber.payloads(topic("availability")),
        (std::vector<std::string> {"online", "offline"}))
        << "online once connected, offline on a clean end";
    const std::string err = errText();
    EXPECT_NE(err.find("; broker: " + std::to_string(lines().size()) + " published, "
                  + std::to_string(lines().size()) + " acknowledged, 0 waiting"),
        std::string::npos)
        << err;
}

TEST_F(LogToBroker, HomeAssistantFindsSevenRetainedSensorsOfOneDevice)
{
    startLog();
    waitUntilPublishing();
    ASSERT_TRUE(waitForLines(3)) << errText();
    // A subscriber that comes later gets what is retained.
    TestSubscriber late(m_broker->port(), "home-assistant", "#");
    struct Sensor {
        const char* name;
        const char* deviceClass;
        const char* unit; ///< nullptr: none
        const char* stateClass;
    };
    const Sensor sensors[] = {
        {"vac", "voltage", "V", "measurement"},
        {"aac", "current", "A", "measurement"},
        {"kw", "power", "kW", "measurement"},
        {"kva", "apparent_power", "VA", "measurement"},
        {"kvar", "reactive_power", "var", "measurement"},
        {"pf", "power_factor", nullptr, "measurement"},
        {"energy", "energy", "kWh", "total_increasing"},
    };
    const std::string config = "homeassistant/sensor/clampmeter_" + std::string(kMeterId) + "_";
    ASSERT_TRUE(
        waitFor([&] { return !late.payloads(config + "energy/config").empty(); }, kPatience));
    std::set<QString> uniqueIds;
    for (const Sensor& sensor : sensors) {
        SCOPED_TRACE(sensor.name);
        const std::string configTopic = config + sensor.name + "/config";
        std::vector<ReceivedMessage> got;
        for (const ReceivedMessage& message : late.messages()) {
            if (message.topic == configTopic)
                got.push_back(message);
        }
        ASSERT_EQ(got.size(), 1U);
        EXPECT_TRUE(got[0].retained);
        QJsonParseError error {};
        const QJsonDocument document
            = QJsonDocument::fromJson(QByteArray::fromStdString(got[0].payload), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << got[0].payload;
        const QJsonObject object = document.object();
        uniqueIds.insert(object["unique_id"].toString());
        EXPECT_EQ(object["unique_id"].toString().toStdString(),
            "clampmeter_" + std::string(kMeterId) + "_" + sensor.name);
        EXPECT_EQ(object["state_topic"].toString().toStdString(), topic(sensor.name));
        EXPECT_EQ(object["device_class"].toString(), sensor.deviceClass);
        EXPECT_EQ(object["state_class"].toString(), sensor.stateClass);
        if (sensor.unit != nullptr) {
            EXPECT_EQ(object["unit_of_measurement"].toString(), sensor.unit);
        } else {
            EXPECT_FALSE(object.contains("unit_of_measurement"));
        }
        const QJsonArray availability = object["availability"].toArray();
        ASSERT_EQ(availability.size(), 3);
        EXPECT_EQ(
            availability[0].toObject()["topic"].toString().toStdString(), topic("availability"));
        EXPECT_EQ(availability[1].toObject()["topic"].toString().toStdString(), topic("link"));
        EXPECT_EQ(availability[2].toObject()["topic"].toString().toStdString(), topic("function"));
        EXPECT_FALSE(object["name"].toString().isEmpty());
        const QJsonObject device = object["device"].toObject();
        EXPECT_EQ(device["identifiers"].toArray().first().toString().toStdString(),
            "clampmeter_" + std::string(kMeterId));
        EXPECT_FALSE(device["name"].toString().isEmpty());
        EXPECT_FALSE(device["model"].toString().isEmpty());
        EXPECT_FALSE(device["sw_version"].toString().isEmpty());
    }
    EXPECT_EQ(uniqueIds.size(), 7U);

    std::map<std::string, ReceivedMessage> retained;
    for (const ReceivedMessage& message : late.messages())
        retained[message.topic] = message;
    EXPECT_EQ(retained[topic("availability")].payload, "online");
    EXPECT_TRUE(retained[topic("availability")].retained);
    EXPECT_EQ(retained[topic("link")].payload, "reading");
    EXPECT_TRUE(retained[topic("link")].retained);
    endLog();
}

TEST_F(LogToBroker, OnlyWhatTheMeterShowsNowIsCurrentForHomeAssistant)
{
    TestSubscriber subscriber(m_broker->port(), "watcher", "clampmeter/#");
    ASSERT_TRUE(waitFor([&] { return subscriber.subscribed(); }, kPatience));
    startLog();
    ASSERT_NO_FATAL_FAILURE(waitUntilPublishing(Frames::Own));
    std::this_thread::sleep_for(500ms); // the framing's first quiet tick
    const auto last = [&](const std::string& name) {
        const std::vector<std::string> payloads = subscriber.payloads(topic(name));
        return payloads.empty() ? std::string("<none>") : payloads.back();
    };
    const auto seen = [&](const std::string& name, const std::string& payload) {
        return waitFor([&] { return last(name) == payload; }, kStatePatience);
    };

    sendFrame({.functionCode = 1, .mainValue = 231.5F});
    EXPECT_TRUE(seen("vac", "231.5")) << last("vac");
    EXPECT_TRUE(seen("function", "vac")) << last("function");
    EXPECT_TRUE(seen("link", "reading")) << last("link");
    // The dial on kVA: the volts sensor's function is gone; an "OL" leaves its sensor unknown.
    sendFrame({.functionCode = 4, .mainValue = 2.5F});
    EXPECT_TRUE(seen("function", "kva"));
    EXPECT_TRUE(seen("kva", "2.5")) << last("kva");
    std::this_thread::sleep_for(1100ms);
    sendFrame({.functionCode = 4, .mainValue = 1.0e6F});
    EXPECT_TRUE(seen("kva", "None")) << last("kva");
    // The meter falls silent: the link says so, and every sensor goes with it.
    EXPECT_TRUE(seen("link", "no data")) << last("link");
    EXPECT_EQ(last("availability"), "online");
    endLog();
    EXPECT_EQ(last("availability"), "offline");
}

TEST_F(LogToBroker, TheBrokerKilledMidStreamAndStartedLaterMissesNoReading)
{
    TestSubscriber subscriber(m_broker->port(), "watcher", "clampmeter/+/reading");
    ASSERT_TRUE(waitFor([&] { return subscriber.subscribed(); }, kPatience));
    startLog();
    waitUntilPublishing();
    ASSERT_TRUE(waitFor([&] { return readingMessages(subscriber).size() >= 10; }, kPatience));
    // Frozen, the broker acknowledges nothing: the readings sent meanwhile die with it.
    m_broker->freeze();
    const std::size_t atFreeze = lines().size();
    ASSERT_TRUE(waitForLines(atFreeze + 4));
    m_broker->kill();
    ASSERT_TRUE(waitForLines(atFreeze + 14)) << "the serial side goes on without the broker";
    ASSERT_TRUE(m_broker->start()) << m_broker->log();
    ASSERT_TRUE(
        waitFor([&] { return errText().find("is back after") != std::string::npos; }, kPatience))
        << errText();
    ASSERT_TRUE(waitForLines(lines().size() + 5));
    endLog();
    ASSERT_TRUE(waitFor([&] { return allArrived(subscriber); }, kPatience)) << errText();
    expectEveryLineArrivedOnce(subscriber, true);

    const std::string err = errText();
    EXPECT_EQ(test::occurrences(err, "lost the broker at"), 1U) << err;
    EXPECT_EQ(test::occurrences(err, "is back after"), 1U) << err;
    // The readings the frozen broker took and never acknowledged went again.
    const std::size_t at = err.find("; broker: ");
    ASSERT_NE(at, std::string::npos) << err;
    EXPECT_GE(std::stoul(err.substr(at + 10)), lines().size() + 4) << err;
}

TEST_F(LogToBroker, ReadingsWaitingWhenTheLoggerWasKilledGoWithTheNextRun)
{
    TestSubscriber subscriber(m_broker->port(), "watcher", "clampmeter/+/reading");
    ASSERT_TRUE(waitFor([&] { return subscriber.subscribed(); }, kPatience));
    startLog();
    waitUntilPublishing();
    ASSERT_TRUE(waitFor([&] { return readingMessages(subscriber).size() >= 5; }, kPatience));
    ASSERT_TRUE(m_broker->stop());
    const std::size_t atStop = lines().size();
    ASSERT_TRUE(waitForLines(atStop + 10));
    killLog();
    const std::size_t waiting = lines().size() - atStop;

    ASSERT_TRUE(m_broker->start()) << m_broker->log();
    startLog();
    waitUntilPublishing();
    EXPECT_NE(errText().find("waiting go first"), std::string::npos) << errText();
    ASSERT_TRUE(waitForLines(atStop + waiting + 5));
    endLog();
    ASSERT_TRUE(waitFor([&] { return allArrived(subscriber); }, kPatience)) << errText();
    expectEveryLineArrivedOnce(subscriber, true);
    // The killed run's numbers went no further than it had reserved; the next run starts
    // past them, so none is given twice.
    std::set<std::uint64_t> seqs;
    for (const std::string& payload : readingMessages(subscriber))
        seqs.insert(seqOf(payload));
    const auto jump = std::adjacent_find(
        seqs.begin(), seqs.end(), [](std::uint64_t a, std::uint64_t b) { return b != a + 1; });
    ASSERT_NE(jump, seqs.end()) << "no gap after the kill";
    EXPECT_EQ(*std::next(jump), 101U);
}

TEST_F(LogToBroker, AWrongPasswordEndsTheStartUnlessItWaits)
{
    ::setenv("CLAMPMETER_MQTT_PASSWORD", "wrong", 1);
    startLog();
    EXPECT_EQ(m_log->wait(kPatience), 1) << errText();
    EXPECT_NE(errText().find("refused the login as meter"), std::string::npos) << errText();

    startLog({"--wait"});
    ASSERT_TRUE(waitFor(
        [this] { return errText().find("refused the login as meter") != std::string::npos; },
        kPatience));
    EXPECT_TRUE(m_log->running()) << "with --wait it keeps trying";
    endLog();
}

TEST_F(LogToBroker, TlsVerifiesTheBrokerAgainstTheGivenCaAndRefusesAnother)
{
    TestSubscriber subscriber(m_broker->port(), "watcher", "clampmeter/+/reading");
    ASSERT_TRUE(waitFor([&] { return subscriber.subscribed(); }, kPatience));
    startLog({"--mqtt-ca", m_broker->caFile().string()}, url(true));
    waitUntilPublishing();
    ASSERT_TRUE(waitFor([&] { return readingMessages(subscriber).size() >= 3; }, kPatience));
    endLog();

    startLog({"--mqtt-ca", m_broker->otherCaFile().string()}, url(true));
    EXPECT_EQ(m_log->wait(kPatience), 1) << errText();
    EXPECT_NE(errText().find("its certificate does not verify"), std::string::npos) << errText();
}

TEST_F(LogToBroker, TheBrokerSaysOfflineForAKilledLogger)
{
    TestSubscriber subscriber(m_broker->port(), "watcher", "clampmeter/+/availability");
    ASSERT_TRUE(waitFor([&] { return subscriber.subscribed(); }, kPatience));
    startLog();
    waitUntilPublishing();
    ASSERT_TRUE(waitFor(
        [&] {
            return subscriber.payloads(topic("availability"))
                == std::vector<std::string> {"online"};
        },
        kPatience));
    killLog();
    EXPECT_TRUE(waitFor(
        [&] {
            return subscriber.payloads(topic("availability"))
                == std::vector<std::string> {"online", "offline"};
        },
        kPatience));
}

} // namespace
} // namespace clampmeter::cli
