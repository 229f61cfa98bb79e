// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// CPU use of the real clampmeter-cli log, a process of its own reading a pseudo-terminal:
// while the simulator streams at the line's full rate (a frame every 171 ms: 71 ms on the
// wire at 2400 baud, then the 100 ms of quiet the framing needs), writing each line to a
// file on disk, also while publishing each reading to a real mosquitto on this machine, and
// idle after the line hung up. The counters give the share of one core.

#include "platform/pseudo_terminal.h"
#include "simulator/meter_simulator.h"
#ifdef CLAMPMETER_BENCH_MQTT
#include "mqtt_test_broker.h"
#include "temp_folder.h"
#endif

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace clampmeter {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kMeasured = 30s;

// CPU time of every thread of `pid` so far, from the scheduler's own count (nanoseconds).
std::chrono::nanoseconds processCpu(pid_t pid)
{
    std::chrono::nanoseconds total {0};
    std::error_code error;
    for (const auto& task :
        fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream schedstat(task.path() / "schedstat");
        long long running = 0;
        if (schedstat >> running)
            total += std::chrono::nanoseconds(running);
    }
    return total;
}

class LoggerProcess {
public:
    LoggerProcess(
        const std::string& device, const std::string& output, std::vector<std::string> more)
    {
        std::vector<std::string> args {
            CLAMPMETER_CLI_PATH, "log", "--device", device, "--output", output};
        args.insert(args.end(), more.begin(), more.end());
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~LoggerProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    LoggerProcess(const LoggerProcess&) = delete;
    LoggerProcess& operator=(const LoggerProcess&) = delete;

    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
};

bool waitForLine(const PseudoTerminal& pty)
{
    const auto end = Clock::now() + 10s;
    while (Clock::now() < end) {
        termios settings {};
        ::tcgetattr(pty.masterFd(), &settings);
        if (::cfgetispeed(&settings) == B2400)
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

// Writes frames at the line's full rate until `until`.
void stream(PseudoTerminal& pty, MeterSimulator& meter, Clock::time_point until)
{
    auto next = Clock::now();
    while (Clock::now() < until) {
        const SimulatedBurst burst = meter.next();
        pty.write(burst.bytes);
        next += timeOnLine(burst.bytes.size()) + burst.gap;
        std::this_thread::sleep_until(next);
    }
}

double shareOfCore(pid_t pid, Clock::time_point until)
{
    const auto cpuBefore = processCpu(pid);
    const auto wallBefore = Clock::now();
    std::this_thread::sleep_until(until);
    const auto cpu = processCpu(pid) - cpuBefore;
    const auto wall = Clock::now() - wallBefore;
    return std::chrono::duration<double>(cpu) / std::chrono::duration<double>(wall);
}

void runLogger(
    benchmark::State& state, bool idleAfterHangUp, const std::vector<std::string>& more = {})
{
    const fs::path output = fs::temp_directory_path() / "clampmeter-log-bench.csv";
    for (auto _ : state) {
        fs::remove(output);
        std::optional<PseudoTerminal> pty = PseudoTerminal::open();
        if (!pty) {
            state.SkipWithError("no pseudo-terminal is available");
            return;
        }
        LoggerProcess logger(pty->slavePath(), output.string(), more);
        if (logger.pid() <= 0 || !waitForLine(*pty)) {
            state.SkipWithError("the logger did not open the line");
            return;
        }
        MeterSimulator meter({SimulatorScenario::Tour, 1, kShortestInterval});
        double share = 0;
        if (idleAfterHangUp) {
            stream(*pty, meter, Clock::now() + 3s);
            pty->hangUp();
            std::this_thread::sleep_for(1500ms);
            share = shareOfCore(logger.pid(), Clock::now() + kMeasured);
        } else {
            stream(*pty, meter, Clock::now() + 3s); // past the start
            const auto cpuBefore = processCpu(logger.pid());
            const auto start = Clock::now();
            stream(*pty, meter, start + kMeasured);
            share = std::chrono::duration<double>(processCpu(logger.pid()) - cpuBefore)
                / std::chrono::duration<double>(Clock::now() - start);
        }
        state.counters["cpu_percent_of_a_core"] = 100.0 * share;
    }
    std::ifstream lines(output);
    long count = 0;
    for (std::string line; std::getline(lines, line);)
        ++count;
    state.counters["lines_logged"] = static_cast<double>(count);
    fs::remove(output);
}

void BM_LoggerWhileStreamingAtTheLinesFullRate(benchmark::State& state)
{
    runLogger(state, false);
}
BENCHMARK(BM_LoggerWhileStreamingAtTheLinesFullRate)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

#ifdef CLAMPMETER_BENCH_MQTT
void BM_LoggerPublishingToABrokerAtTheLinesFullRate(benchmark::State& state)
{
    TempFolder temp;
    cli::test::TestBroker broker(temp.path() / "broker");
    if (!broker.prepare() || !broker.start()) {
        state.SkipWithError("mosquitto would not start");
        return;
    }
    ::setenv("XDG_STATE_HOME", (temp.path() / "state").c_str(), 1);
    ::setenv("CLAMPMETER_MQTT_PASSWORD", cli::test::kBrokerPassword.data(), 1);
    runLogger(state, false,
        {"--mqtt",
            "mqtt://" + std::string(cli::test::kBrokerUser)
                + "@127.0.0.1:" + std::to_string(broker.port()),
            "--mqtt-id", "bench"});
    broker.stop();
}
BENCHMARK(BM_LoggerPublishingToABrokerAtTheLinesFullRate)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
#endif

void BM_LoggerIdleAfterAHangUp(benchmark::State& state)
{
    runLogger(state, true);
}
BENCHMARK(BM_LoggerIdleAfterAHangUp)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
} // namespace clampmeter

BENCHMARK_MAIN();
