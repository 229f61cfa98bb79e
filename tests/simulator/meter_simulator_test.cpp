// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/measurement_frame.h"
#include "simulator/meter_simulator.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace clampmeter {
namespace {

using namespace std::chrono_literals;

FrameBytes frameOf(const std::vector<std::uint8_t>& bytes, std::size_t first = 0)
{
    return FrameBytes(bytes.data() + first, kFrameSize);
}

std::vector<SimulatedBurst> run(SimulatorSettings settings, int count)
{
    MeterSimulator simulator(settings);
    std::vector<SimulatedBurst> bursts;
    bursts.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        bursts.push_back(simulator.next());
    return bursts;
}

std::vector<std::uint8_t> concatenated(const std::vector<SimulatedBurst>& bursts)
{
    std::vector<std::uint8_t> all;
    for (const auto& burst : bursts)
        all.insert(all.end(), burst.bytes.begin(), burst.bytes.end());
    return all;
}

TEST(EncodeFrame, WritesEveryFieldInPlaceWithLittleEndianFloats)
{
    struct Case {
        const char* name;
        FrameFields fields;
        EncodedFrame expected;
    };
    const Case cases[] = {
        {"voltage reading",
            {.number = 5, .functionCode = 1, .mainValue = 229.9F, .secondaryValue = 50.0F},
            {0x68, 0x68, 0, 1, 5, 0, 1, 0x66, 0xE6, 0x65, 0x43, 0x00, 0x00, 0x48, 0x42, 0, 0}},
        {"every annunciator byte and the trailer",
            {.wiring = 3,
                .phase = 2,
                .number = 255,
                .flags = kFlagBat | kFlagMr | kFlagNoNumber,
                .functionCode = 6,
                .mainValue = -1.0F,
                .secondaryValue = 0.0F,
                .trailer = {0xAB, 0xCD}},
            {0x68, 0x68, 3, 2, 255, 7, 6, 0x00, 0x00, 0x80, 0xBF, 0, 0, 0, 0, 0xAB, 0xCD}},
        {"energy counter replaces the secondary float",
            {.functionCode = 7,
                .mainValue = 12.5F,
                .secondaryValue = 1.0F,
                .counter = {.hours = 100, .minutes = 7}},
            {0x68, 0x68, 0, 1, 0, 0, 7, 0x00, 0x00, 0x48, 0x41, 7, 100, 0, 0, 0, 0}},
        {"code outside the table still carries a float",
            {.functionCode = 200, .secondaryValue = 1.0F},
            {0x68, 0x68, 0, 1, 0, 0, 200, 0, 0, 0, 0, 0x00, 0x00, 0x80, 0x3F, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(encodeFrame(c.fields), c.expected) << c.name;
}

TEST(EncodeFrame, DecodesBackToTheSameReading)
{
    const EncodedFrame bytes = encodeFrame({.wiring = 3,
        .phase = 3,
        .number = 9,
        .flags = kFlagMr,
        .functionCode = 7,
        .mainValue = 1500.9F,
        .counter = {1, 5}});
    const MeasurementFrame frame = decodeFrame(bytes);
    ASSERT_NE(frame.function, nullptr);
    EXPECT_EQ(frame.function->id, "FUN_ENERGY");
    EXPECT_EQ(frame.MainText, "1500");
    EXPECT_EQ(frame.SecondaryText, "01:05");
    EXPECT_EQ(frame.numberText, "09");
    EXPECT_TRUE(frame.wiring);
    EXPECT_EQ(frame.phase, Phase::L3);
    EXPECT_TRUE(frame.mr);
    EXPECT_FALSE(frame.bat);
}

TEST(SimulatorScenarios, EveryListedNameIsFoundAndUnknownNamesAreNot)
{
    const auto scenarios = simulatorScenarios();
    ASSERT_FALSE(scenarios.empty());
    EXPECT_EQ(scenarios.front().name, "tour");
    for (const auto& info : scenarios) {
        EXPECT_EQ(scenarioFromName(info.name), info.scenario) << info.name;
        EXPECT_FALSE(info.description.empty()) << info.name;
    }
    EXPECT_EQ(scenarioFromName("Tour"), std::nullopt);
    EXPECT_EQ(scenarioFromName(""), std::nullopt);
    EXPECT_EQ(scenarioFromName("vacuum"), std::nullopt);
}

TEST(MeterSimulator, EveryBurstOfANormalScenarioIsOneWholeFrameThenTheInterval)
{
    for (const auto& info : simulatorScenarios()) {
        if (info.scenario == SimulatorScenario::Faults)
            continue;
        for (const auto& burst : run({info.scenario, 11, 120ms}, 400)) {
            ASSERT_EQ(burst.kind, BurstKind::Frame) << info.name;
            ASSERT_EQ(burst.bytes.size(), kFrameSize) << info.name;
            ASSERT_TRUE(isAcceptedFrame(frameOf(burst.bytes))) << info.name;
            ASSERT_EQ(burst.gap, 120ms) << info.name;
        }
    }
}

TEST(MeterSimulator, SingleFunctionScenariosSendOnlyTheirFunction)
{
    const std::pair<const char*, std::uint8_t> cases[] = {
        {"vac", 1},
        {"aac", 2},
        {"kw", 3},
        {"kva", 4},
        {"kvar", 5},
        {"pf", 6},
        {"energy", 7},
    };
    for (const auto& [name, code] : cases) {
        for (const auto& burst : run({*scenarioFromName(name), 5}, 500))
            ASSERT_EQ(burst.bytes[6], code) << name;
    }
}

TEST(MeterSimulator, NegativeIntervalMeansNoPause)
{
    for (const auto& burst : run({SimulatorScenario::Tour, 1, -40ms}, 20))
        EXPECT_EQ(burst.gap, 0ms);
}

TEST(MeterSimulator, GapsTooLongForTheWatchdogAreWarnedOfWithTheReason)
{
    EXPECT_EQ(longIntervalWarning(500ms), "");
    EXPECT_EQ(longIntervalWarning(kLongestLiveInterval), "");
    EXPECT_EQ(longIntervalWarning(3000ms),
        "warning: with --interval 3000 each frame comes 3071 ms after the one before (the gap, "
        "and 71 ms for the frame on the line), too close to or past the 2 s without a frame "
        "after which the program takes the line for dead: \"NO DATA\" shows between the "
        "frames, and clampmeter-cli log notes \"no data for 2 s\". Gaps up to 1900 ms keep the "
        "line alive.");
    EXPECT_NE(longIntervalWarning(kLongestLiveInterval + 1ms), "");
}

TEST(MeterSimulator, TimeOnLineIsTenBitsPerByteAt2400BaudRoundedUp)
{
    const std::pair<std::size_t, std::chrono::milliseconds> cases[] = {
        {0, 0ms},
        {1, 5ms},
        {kFrameSize, 71ms},
        {2 * kFrameSize, 142ms},
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(timeOnLine(bytes), expected) << bytes << " bytes";
}

TEST(MeterSimulator, LongTourShowsEveryFunctionAndEveryAnnunciator)
{
    std::set<int> codes;
    std::set<int> phases;
    std::set<std::string> overRange;
    bool strayCode = false;
    bool wiring = false;
    bool bat = false;
    bool mr = false;
    bool noNumberOnPower = false;
    bool noNumberOnPowerFactor = false;
    int numberSteps = 0;
    std::uint8_t previousNumber = 0;
    const auto bursts = run({SimulatorScenario::Tour, 2026}, 4000);
    for (std::size_t i = 0; i < bursts.size(); ++i) {
        const auto& bytes = bursts[i].bytes;
        const MeasurementFrame frame = decodeFrame(frameOf(bytes));
        const std::uint8_t code = bytes[6];
        codes.insert(code);
        strayCode = strayCode || code < 1 || code > 7;
        phases.insert(bytes[3]);
        wiring = wiring || frame.wiring;
        bat = bat || frame.bat;
        mr = mr || frame.mr;
        if (frame.MainText == "OL")
            overRange.insert(std::string(frame.function->id));
        noNumberOnPower = noNumberOnPower || (code == 3 && frame.SecondaryText == "----");
        noNumberOnPowerFactor = noNumberOnPowerFactor || (code == 6 && frame.MainText == "----");
        if (i > 0 && bytes[4] == static_cast<std::uint8_t>(previousNumber + 1))
            ++numberSteps;
        previousNumber = bytes[4];
    }
    for (int code = 1; code <= 7; ++code)
        EXPECT_TRUE(codes.contains(code)) << "function code " << code;
    EXPECT_TRUE(strayCode);
    EXPECT_TRUE(phases.contains(1) && phases.contains(2) && phases.contains(3));
    EXPECT_TRUE(wiring);
    EXPECT_TRUE(bat);
    EXPECT_TRUE(mr);
    EXPECT_TRUE(noNumberOnPower);
    EXPECT_TRUE(noNumberOnPowerFactor);
    for (const char* id : {"FUN_VAC", "FUN_AAC", "FUN_KW", "FUN_KVA", "FUN_KVAR", "FUN_ENERGY"})
        EXPECT_TRUE(overRange.contains(id)) << id << " never over range";
    EXPECT_EQ(numberSteps, static_cast<int>(bursts.size()) - 1) << "the number byte must count on";
}

TEST(MeterSimulator, EachFaultProducesWhatItPromises)
{
    MeterSimulator simulator({SimulatorScenario::Vac, 8, 300ms});
    for (int round = 0; round < 50; ++round) {
        const SimulatedBurst twice = simulator.fault(StreamFault::BackToBack);
        EXPECT_EQ(twice.kind, BurstKind::BackToBack);
        ASSERT_EQ(twice.bytes.size(), 2 * kFrameSize);
        EXPECT_TRUE(isAcceptedFrame(frameOf(twice.bytes, 0)));
        EXPECT_TRUE(isAcceptedFrame(frameOf(twice.bytes, kFrameSize)));
        EXPECT_EQ(twice.bytes[kFrameSize + 4], static_cast<std::uint8_t>(twice.bytes[4] + 1))
            << "two successive frames, not one sent twice";
        EXPECT_EQ(twice.gap, 300ms);

        const SimulatedBurst garbled = simulator.fault(StreamFault::WrongHeader);
        EXPECT_EQ(garbled.kind, BurstKind::WrongHeader);
        ASSERT_EQ(garbled.bytes.size(), kFrameSize);
        EXPECT_FALSE(isAcceptedFrame(frameOf(garbled.bytes)));
        EXPECT_EQ(garbled.bytes[6], 1) << "the rest is an ordinary frame";
        EXPECT_EQ(garbled.gap, 300ms);

        const SimulatedBurst stray = simulator.fault(StreamFault::StrayBytes);
        EXPECT_EQ(stray.kind, BurstKind::StrayBytes);
        EXPECT_GE(stray.bytes.size(), 1U);
        EXPECT_LE(stray.bytes.size(), 8U);
        EXPECT_EQ(stray.gap, 300ms);

        const SimulatedBurst silence = simulator.fault(StreamFault::Silence);
        EXPECT_EQ(silence.kind, BurstKind::Silence);
        EXPECT_TRUE(silence.bytes.empty());
        EXPECT_GT(silence.gap, 2s);
    }
}

TEST(MeterSimulator, WrongHeadersHitEitherHeaderByteOrBoth)
{
    MeterSimulator simulator({SimulatorScenario::Tour, 4});
    std::set<std::pair<bool, bool>> seen;
    for (int i = 0; i < 100; ++i) {
        const auto bytes = simulator.fault(StreamFault::WrongHeader).bytes;
        seen.insert({bytes[0] == kFrameHeader, bytes[1] == kFrameHeader});
    }
    const std::set<std::pair<bool, bool>> expected {{false, true}, {true, false}, {false, false}};
    EXPECT_EQ(seen, expected);
}

TEST(MeterSimulator, FaultsScenarioMixesEveryFaultIntoMostlyGoodFrames)
{
    std::map<BurstKind, int> kinds;
    for (const auto& burst : run({SimulatorScenario::Faults, 12}, 2000)) {
        ++kinds[burst.kind];
        if (burst.kind == BurstKind::Frame) {
            ASSERT_TRUE(isAcceptedFrame(frameOf(burst.bytes)));
        }
        if (burst.kind == BurstKind::StrayBytes) {
            ASSERT_NE(burst.bytes.size(), kFrameSize);
        }
    }
    for (const auto kind :
        {BurstKind::BackToBack, BurstKind::WrongHeader, BurstKind::StrayBytes, BurstKind::Silence})
        EXPECT_GT(kinds[kind], 10) << static_cast<int>(kind);
    EXPECT_GT(kinds[BurstKind::Frame], 1500);
}

TEST(MeterSimulator, TheSameSeedGivesTheSameBytesAndOtherSeedsDiffer)
{
    const SimulatorSettings settings {SimulatorScenario::Faults, 99};
    const auto first = run(settings, 600);
    const auto again = run(settings, 600);
    EXPECT_EQ(concatenated(first), concatenated(again));
    for (std::size_t i = 0; i < first.size(); ++i)
        ASSERT_EQ(first[i].gap, again[i].gap) << i;

    EXPECT_NE(concatenated(run({SimulatorScenario::Faults, 100}, 600)), concatenated(first));
    EXPECT_NE(concatenated(run({SimulatorScenario::Tour, 99}, 600)), concatenated(first));
}

TEST(MeterSimulator, ACopyRunsOnExactlyLikeTheOriginal)
{
    MeterSimulator original({SimulatorScenario::Faults, 3});
    for (int i = 0; i < 50; ++i)
        original.next();
    MeterSimulator copy = original;
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(copy.next().bytes, original.next().bytes) << i;
}

} // namespace
} // namespace clampmeter
