// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The framing's cost per receive event: one call per frame, no parsing byte by byte.

#include "link/frame_sync.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace clampmeter {
namespace {

class MemoryPort final : public SerialPortControl {
public:
    std::size_t InBufferCount() const override { return waiting.size(); }
    void discardInBuffer() override { waiting.clear(); }
    std::vector<std::uint8_t> Input() override { return std::exchange(waiting, {}); }
    void setRThreshold(std::size_t bytes) override { threshold = bytes; }

    std::vector<std::uint8_t> waiting;
    std::size_t threshold = 0;
};

class IdleTimer final : public LinkTimer {
public:
    void enable() override { enabled = true; }
    void disable() override { enabled = false; }
    bool isEnabled() const override { return enabled; }

    bool enabled = false;
};

class IdlePanels final : public LinkPanels {
public:
    void setDisplayPanelVisible(bool) override { }
    void setNoDataPanelVisible(bool) override { }
};

const std::vector<std::uint8_t> kFrame {0x68, 0x68, 0x00, 0x01, 0x05, 0x00, 0x01, 0x66, 0xE6, 0x65,
    0x43, 0x00, 0x00, 0x48, 0x42, 0x00, 0x00};

void runBatches(benchmark::State& state, const std::vector<std::uint8_t>& batch)
{
    MemoryPort port;
    IdleTimer timer1;
    IdleTimer timer2;
    IdlePanels panels;
    std::int64_t frames = 0;
    FrameSync sync(port, timer1, timer2, panels, [&frames](FrameBytes) { ++frames; });
    sync.portOpened();
    sync.onTimer1Tick();
    for (auto _ : state) {
        port.waiting = batch;
        sync.onComm(kComEvReceive);
        if (timer1.enabled)
            sync.onTimer1Tick();
    }
    benchmark::DoNotOptimize(frames);
    state.SetItemsProcessed(state.iterations());
}

void BM_WholeFrame(benchmark::State& state)
{
    runBatches(state, kFrame);
}
BENCHMARK(BM_WholeFrame);

void BM_TwoFramesBackToBack(benchmark::State& state)
{
    std::vector<std::uint8_t> two = kFrame;
    two.insert(two.end(), kFrame.begin(), kFrame.end());
    runBatches(state, two);
}
BENCHMARK(BM_TwoFramesBackToBack);

void BM_WrongHeaderAndResynchronisation(benchmark::State& state)
{
    std::vector<std::uint8_t> bad = kFrame;
    bad[0] = 0x00;
    runBatches(state, bad);
}
BENCHMARK(BM_WrongHeaderAndResynchronisation);

} // namespace
} // namespace clampmeter
