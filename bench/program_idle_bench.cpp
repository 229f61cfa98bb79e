// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// CPU use of the real main panel (its event loop, the link, both other windows created) while
// the meter's line is unplugged and the program looks for the bridge once a second, compared
// with the same panel idling on a line that is there but quiet. The counters give the share
// of one core over 30 s.

#include "app/form1.h"
#include "link/bridge_lookup.h"
#include "link/static_serial_device_map.h"
#include "platform/pseudo_terminal.h"

#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>

namespace clampmeter {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kMeasured = 30s;

class FixedClock final : public CaptureClock {
public:
    CaptureTime now() override { return {"10/12/26", "14:03:07"}; }
};

// CPU time of every thread of this process so far, from the scheduler's own count.
std::chrono::nanoseconds ownCpu()
{
    std::chrono::nanoseconds total {0};
    std::error_code error;
    for (const auto& task : fs::directory_iterator("/proc/self/task", error)) {
        std::ifstream schedstat(task.path() / "schedstat");
        long long running = 0;
        if (schedstat >> running)
            total += std::chrono::nanoseconds(running);
    }
    return total;
}

void runEventLoopFor(std::chrono::milliseconds time)
{
    QEventLoop loop;
    QTimer::singleShot(time, &loop, &QEventLoop::quit);
    loop.exec();
}

void idle(benchmark::State& state, bool unplugged)
{
    for (auto _ : state) {
        std::optional<PseudoTerminal> pty = PseudoTerminal::open();
        if (!pty) {
            state.SkipWithError("no pseudo-terminal is available");
            return;
        }
        auto vars = std::make_unique<VarModule>();
        StaticSerialDeviceMap map(
            StaticSerialDeviceMap::Values {{std::string(kBridgeValueName), pty->slavePath()}});
        FixedClock clock;
        Form1 form(Form1::Services {*vars, map, clock, [](const QString&, const QString&) {}});
        if (!form.load()) {
            state.SkipWithError("the panel did not open the line");
            return;
        }
        form.show();
        form.windows().graphWindow();
        if (unplugged)
            pty->hangUp();
        runEventLoopFor(3s); // past the loss and the watchdog
        const auto before = ownCpu();
        const auto start = std::chrono::steady_clock::now();
        runEventLoopFor(kMeasured);
        const double share = std::chrono::duration<double>(ownCpu() - before)
            / std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
        state.counters["cpu_percent_of_a_core"] = 100.0 * share;
        state.counters["looks_for_the_bridge"] = map.openCount() - 1;
    }
}

void BM_ProgramIdleWhileUnpluggedAndLooking(benchmark::State& state)
{
    idle(state, true);
}
BENCHMARK(BM_ProgramIdleWhileUnpluggedAndLooking)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

void BM_ProgramIdleOnAQuietLine(benchmark::State& state)
{
    idle(state, false);
}
BENCHMARK(BM_ProgramIdleOnAQuietLine)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
} // namespace clampmeter
