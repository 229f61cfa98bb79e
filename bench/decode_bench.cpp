// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Decoding plus text forming per frame. Target: well under 200 ns per frame.

#include "link/measurement_frame.h"

#include <benchmark/benchmark.h>

#include <array>
#include <bit>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using clampmeter::decodeFrame;
using clampmeter::kFrameSize;
using Frame = std::array<std::uint8_t, kFrameSize>;

void putFloat(Frame& bytes, std::size_t first, float value)
{
    auto bits = std::bit_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[first + i] = static_cast<std::uint8_t>(bits & 0xFFU);
        bits >>= 8;
    }
}

Frame makeFrame(std::uint8_t code, std::uint8_t flags, float main, float secondary)
{
    Frame bytes {0x68, 0x68, 0, 1, 5, flags, code};
    putFloat(bytes, 7, main);
    putFloat(bytes, 11, secondary);
    return bytes;
}

// What a meter sends in a working day: every function, values in their usual ranges,
// about one reading in twenty over range, now and then the "----" flag.
std::vector<Frame> realisticMix()
{
    std::mt19937 random(42);
    std::uniform_real_distribution<float> unit(0.0F, 1.0F);
    std::vector<Frame> frames;
    for (int i = 0; i < 4096; ++i) {
        const auto code = static_cast<std::uint8_t>(1 + i % 7);
        const bool over = unit(random) < 0.05F;
        const auto flags = static_cast<std::uint8_t>(unit(random) < 0.05F ? 0x04 : 0x00);
        float main = 0.0F;
        float secondary = 0.0F;
        switch (code) {
        case 1:
            main = over ? 812.0F : 225.0F + 10.0F * unit(random);
            secondary = 49.9F + 0.2F * unit(random);
            break;
        case 2:
            main = over ? 1200.0F : 40.0F * unit(random);
            secondary = 225.0F + 10.0F * unit(random);
            break;
        case 3:
        case 4:
        case 5:
            main = over ? 760.0F : 9.0F * unit(random);
            secondary = 0.5F + 0.5F * unit(random);
            break;
        case 6:
            main = 0.5F + 0.5F * unit(random);
            secondary = 50.0F;
            break;
        default:
            main = over ? 9999.0F : 2500.0F * unit(random);
            break;
        }
        Frame frame = makeFrame(code, flags, main, secondary);
        if (code == 7) {
            frame[11] = static_cast<std::uint8_t>(i % 60);
            frame[12] = static_cast<std::uint8_t>(i / 60);
        }
        frames.push_back(frame);
    }
    return frames;
}

void runDecode(benchmark::State& state, const std::vector<Frame>& frames)
{
    std::size_t i = 0;
    for (auto _ : state) {
        auto frame = decodeFrame(frames[i]);
        benchmark::DoNotOptimize(frame);
        i = (i + 1) % frames.size();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_DecodeRealisticFrame(benchmark::State& state)
{
    runDecode(state, realisticMix());
}
BENCHMARK(BM_DecodeRealisticFrame);

// The slow path: negative values far beyond 64-bit integers, written out in full.
void BM_DecodeHugeNegativeFrame(benchmark::State& state)
{
    std::vector<Frame> frames;
    for (int i = 0; i < 64; ++i)
        frames.push_back(makeFrame(3, 0, -3.0e38F / static_cast<float>(i + 1), -1.0e30F));
    runDecode(state, frames);
}
BENCHMARK(BM_DecodeHugeNegativeFrame);

} // namespace
