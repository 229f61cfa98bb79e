// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The simulator's readings must look like a real line: these tests read the floats straight
// from the frame bytes and the texts through the decoder.

#include "link/measurement_frame.h"
#include "simulator/meter_simulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>
#include <set>
#include <vector>

namespace clampmeter {
namespace {

using namespace std::chrono_literals;

struct Sample {
    std::vector<std::uint8_t> bytes;
    MeasurementFrame frame;
    float main = 0.0F;
    float secondary = 0.0F;
    bool threeWire = false;
    bool overRange = false;
};

std::vector<Sample> sample(SimulatorScenario scenario, int count, std::uint32_t seed = 31)
{
    MeterSimulator simulator({scenario, seed});
    std::vector<Sample> samples;
    for (int i = 0; i < count; ++i) {
        Sample s;
        s.bytes = simulator.next().bytes;
        s.frame = decodeFrame(FrameBytes(s.bytes.data(), kFrameSize));
        const auto floatAt = [&](std::size_t first) {
            std::uint32_t bits = 0;
            for (std::size_t b = 0; b < 4; ++b)
                bits |= static_cast<std::uint32_t>(s.bytes[first + b]) << (8 * b);
            return std::bit_cast<float>(bits);
        };
        s.main = floatAt(7);
        s.secondary = floatAt(11);
        s.threeWire = s.bytes[2] == 3;
        s.overRange = s.frame.MainText == "OL";
        samples.push_back(std::move(s));
    }
    return samples;
}

TEST(SimulatedReadings, LineVoltageDriftsNear230VoltsAt50Hertz)
{
    std::set<std::string> texts;
    int singlePhase = 0;
    for (const auto& s : sample(SimulatorScenario::Vac, 2000)) {
        EXPECT_EQ(s.frame.SecondaryText, "50");
        EXPECT_GE(s.secondary, 50.0F);
        EXPECT_LT(s.secondary, 50.05F);
        if (s.overRange)
            continue;
        texts.insert(s.frame.MainText);
        if (s.threeWire) {
            EXPECT_GT(s.main, 385.0F);
            EXPECT_LT(s.main, 415.0F);
        } else {
            ++singlePhase;
            EXPECT_GT(s.main, 222.0F);
            EXPECT_LT(s.main, 238.0F);
            EXPECT_TRUE(s.frame.MainText.starts_with("22") || s.frame.MainText.starts_with("23"))
                << s.frame.MainText;
        }
    }
    EXPECT_GT(singlePhase, 1000) << "mostly a single-phase line";
    EXPECT_GT(texts.size(), 30U) << "the voltage must move, not sit still";
}

TEST(SimulatedReadings, CurrentRampsAcrossLoadsAndFlickers)
{
    std::vector<float> amps;
    for (const auto& s : sample(SimulatorScenario::Aac, 3000)) {
        if (s.overRange)
            continue;
        EXPECT_GT(s.main, 0.4F);
        EXPECT_LT(s.main, 450.0F);
        EXPECT_GT(s.secondary, 222.0F) << "the secondary display holds the voltage";
        amps.push_back(s.main);
    }
    const auto [low, high] = std::minmax_element(amps.begin(), amps.end());
    EXPECT_GT(*high / *low, 20.0F) << "loads from small to large";
    int unchanged = 0;
    for (std::size_t i = 1; i < amps.size(); ++i)
        unchanged += amps[i] == amps[i - 1] ? 1 : 0;
    EXPECT_LT(unchanged, 10) << "a running load flickers";
}

TEST(SimulatedReadings, PowersFormOneConsistentTriangle)
{
    for (const auto& s : sample(SimulatorScenario::Kva, 1500)) {
        if (!s.overRange) {
            EXPECT_GT(s.secondary, 0.0F);
            EXPECT_LT(s.secondary, s.main) << "kVAR below kVA";
        }
    }
    for (const auto& s : sample(SimulatorScenario::Kvar, 1500)) {
        if (!s.overRange) {
            EXPECT_LT(s.main, s.secondary) << "kVAR below kVA";
        }
    }
    for (const auto& s : sample(SimulatorScenario::Kw, 1500)) {
        EXPECT_GE(s.secondary, 0.0F);
        EXPECT_LE(s.secondary, 60.01F) << "phase angle of a power factor of 0.5 or more";
    }
    int flagged = 0;
    for (const auto& s : sample(SimulatorScenario::Pf, 1500)) {
        EXPECT_GE(s.main, 0.5F);
        EXPECT_LE(s.main, 1.0F);
        EXPECT_NEAR(std::cos(s.secondary * std::numbers::pi_v<float> / 180.0F), s.main, 1e-3F);
        if ((s.bytes[5] & kFlagNoNumber) != 0) {
            ++flagged;
            EXPECT_EQ(s.frame.MainText, "----");
        } else {
            EXPECT_TRUE(s.frame.MainText.starts_with("0.") || s.frame.MainText == "1");
        }
    }
    EXPECT_GT(flagged, 0);
}

TEST(SimulatedReadings, PowerFollowsVoltsAmpsAndPowerFactorForEitherWiring)
{
    for (const auto wiring : {Wiring::SinglePhase, Wiring::ThreePhaseThreeWire}) {
        SimulatorRandom random(5);
        PowerLineModel line(random);
        line.setWiring(wiring);
        const double phases = wiring == Wiring::SinglePhase ? 1.0 : std::numbers::sqrt3;
        for (int i = 0; i < 500; ++i) {
            line.advance(0.5, random);
            const double kva = line.kva();
            EXPECT_NEAR(kva, phases * line.volts() * line.amps() / 1000.0, 1e-9 * kva);
            EXPECT_NEAR(line.kw(), kva * line.powerFactor(), 1e-9 * kva);
            EXPECT_NEAR(
                line.kw() * line.kw() + line.kvar() * line.kvar(), kva * kva, 1e-9 * kva * kva);
        }
    }
}

TEST(SimulatedReadings, EnergyAccumulatesAndItsCounterFollowsMeterTime)
{
    constexpr int kFrames = 1000;
    const auto samples = sample(SimulatorScenario::Energy, kFrames);
    float first = -1.0F;
    float previous = 0.0F;
    for (const auto& s : samples) {
        EXPECT_LE(s.bytes[11], 59) << "minutes";
        const std::string expected = (s.bytes[12] < 10 ? "0" : "") + std::to_string(s.bytes[12])
            + ":" + (s.bytes[11] < 10 ? "0" : "") + std::to_string(s.bytes[11]);
        EXPECT_EQ(s.frame.SecondaryText, expected);
        if (s.overRange)
            continue;
        EXPECT_GE(s.main, previous) << "an energy register never runs backwards";
        previous = s.main;
        if (first < 0.0F)
            first = s.main;
    }
    const auto minutesOf = [](const Sample& s) { return s.bytes[12] * 60 + s.bytes[11]; };
    // Each frame takes its 17 bytes on the 2400 baud line plus the default 500 ms gap.
    const double seconds = (kFrames - 1) * (0.5 + 17.0 * 10.0 / 2400.0);
    const int counted = minutesOf(samples.back()) - minutesOf(samples.front());
    EXPECT_GE(counted, static_cast<int>(seconds / 60.0) - 1);
    EXPECT_LE(counted, static_cast<int>(seconds / 60.0) + 1);
    EXPECT_GT(previous, first) << "a load was running all the time";
}

} // namespace
} // namespace clampmeter
