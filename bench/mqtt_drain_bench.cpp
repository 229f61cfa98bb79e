// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How fast the logger's broker side sends readings that waited for the broker: 100,000
// readings of the simulator, as the logger keeps them on disk, sent by the real publisher
// through Paho to a real mosquitto on this machine (QoS 1, each acknowledged), from the
// connection until none waits. The goal: at least 5,000 readings a second, so that a day's
// backlog goes in minutes.

#include "log/log_clock.h"
#include "log/mqtt_publisher.h"
#include "mqtt_test_broker.h"
#include "platform/paho_broker_client.h"
#include "reading_json.h"
#include "simulator/meter_simulator.h"

#include "temp_folder.h"

#include <QCoreApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace clampmeter {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::uint64_t kWaiting = 100'000;

// The readings a run of the simulator gives, as the logger keeps them.
void fillBacklog(ReadingBacklog& backlog)
{
    MeterSimulator meter({SimulatorScenario::Tour, 3, kShortestInterval});
    const cli::LogInstant instant = cli::logInstantAt(std::chrono::system_clock::now());
    const std::string time = cli::isoTimestamp(instant);
    while (backlog.waiting() < kWaiting) {
        const SimulatedBurst burst = meter.next();
        if (burst.bytes.size() != kFrameSize)
            continue;
        const FrameBytes bytes(burst.bytes.data(), kFrameSize);
        const std::string json = cli::readingJson(decodeFrame(bytes), time);
        backlog.append("{\"seq\":" + std::to_string(backlog.nextSeq()) + "," + json.substr(1));
    }
    backlog.sync();
}

void BM_DrainOf100000WaitingReadingsIntoALocalBroker(benchmark::State& state)
{
    TempFolder temp;
    cli::test::TestBroker broker(temp.path() / "broker");
    if (!broker.prepare() || !broker.start()) {
        state.SkipWithError("mosquitto would not start");
        return;
    }
    int argc = 1;
    std::string name = "mqtt_drain_bench";
    char* argv[] = {name.data(), nullptr};
    QCoreApplication application(argc, argv);
    int run = 0;
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string id = "drain-" + std::to_string(++run);
        std::string problem;
        auto backlog = ReadingBacklog::open(temp.path() / id, kWaiting, problem);
        fillBacklog(*backlog);
        BrokerConnection connection;
        connection.serverUri = "tcp://127.0.0.1:" + std::to_string(broker.port());
        connection.clientId = id;
        connection.user = std::string(cli::test::kBrokerUser);
        connection.password = std::string(cli::test::kBrokerPassword);
        const MqttTopics topics("clampmeter", id);
        connection.will = {topics.availability(), "offline", 1, true};
        auto client = PahoBrokerClient::create(connection, problem);
        cli::PublisherHooks hooks;
        hooks.say = [](const std::string&) {};
        hooks.stop = [](int) { QCoreApplication::exit(1); };
        hooks.closed = [] {};
        hooks.now = [] { return Clock::now(); };
        cli::MqttPublisher publisher(*client, *backlog, {"127.0.0.1", "meter", topics, {}}, hooks);
        QTimer done;
        QObject::connect(&done, &QTimer::timeout, [&] {
            if (backlog->waiting() == 0)
                QCoreApplication::exit(0);
        });
        state.ResumeTiming();

        const auto start = Clock::now();
        publisher.start();
        done.start(5);
        const int exitCode = QCoreApplication::exec();
        const std::chrono::duration<double> took = Clock::now() - start;

        state.PauseTiming();
        if (exitCode != 0 || backlog->waiting() != 0) {
            state.SkipWithError("the broker did not take every reading");
            return;
        }
        seconds += took.count();
        state.ResumeTiming();
    }
    state.counters["readings_per_second"] = static_cast<double>(kWaiting) * run / seconds;
    broker.stop();
}
BENCHMARK(BM_DrainOf100000WaitingReadingsIntoALocalBroker)
    ->Iterations(3)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace
} // namespace clampmeter

BENCHMARK_MAIN();
