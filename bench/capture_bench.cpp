// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The cost of one accepted frame on the real main panel: decode, show, store. It must not
// grow with the number of records already stored.

#include "app/form1.h"
#include "link/static_serial_device_map.h"
#include "simulator/frame_encoder.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace clampmeter {
namespace {

class FixedClock final : public CaptureClock {
public:
    CaptureTime now() override { return {"10/12/26", "14:03:07"}; }
};

std::vector<EncodedFrame> frameMix()
{
    std::vector<EncodedFrame> frames;
    for (std::uint8_t code = 1; code <= 7; ++code) {
        for (int i = 0; i < 8; ++i) {
            FrameFields fields;
            fields.functionCode = code;
            fields.number = static_cast<std::uint8_t>(i * 17);
            fields.mainValue = 229.9F + static_cast<float>(i) * 0.7F;
            fields.secondaryValue = 49.9F + static_cast<float>(i) * 0.05F;
            fields.counter = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 7)};
            frames.push_back(encodeFrame(fields));
        }
    }
    return frames;
}

void BM_AcceptedFrame(benchmark::State& state)
{
    const auto startCount = static_cast<std::int32_t>(state.range(0));
    auto vars = std::make_unique<VarModule>();
    StaticSerialDeviceMap map;
    FixedClock clock;
    Form1 form(Form1::Services {*vars, map, clock, {}});
    const std::vector<EncodedFrame> frames = frameMix();
    std::size_t next = 0;
    for (auto _ : state) {
        vars->DataCount = startCount;
        form.onAcceptedFrame(frames[next]);
        next = (next + 1) % frames.size();
    }
    benchmark::DoNotOptimize(vars->DataRecords[static_cast<std::size_t>(startCount)].No);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AcceptedFrame)->Arg(0)->Arg(49999);

} // namespace
} // namespace clampmeter
