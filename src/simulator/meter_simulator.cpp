// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "simulator/meter_simulator.h"

#include <algorithm>
#include <array>

namespace clampmeter {
namespace {

constexpr std::array<ScenarioInfo, 9> kScenarios {{
    {SimulatorScenario::Tour, "tour",
        "all seven functions in turn, 30 frames each, code 0 between"},
    {SimulatorScenario::Vac, "vac", "AC voltage near 230 V (400 V when wired 3@3w) at 50 Hz"},
    {SimulatorScenario::Aac, "aac", "AC current ramping between loads, with the voltage"},
    {SimulatorScenario::Kw, "kw", "active power with the phase angle, \"----\" now and then"},
    {SimulatorScenario::Kva, "kva", "apparent power with the reactive power"},
    {SimulatorScenario::Kvar, "kvar", "reactive power with the apparent power"},
    {SimulatorScenario::Pf, "pf",
        "power factor 0.5 to 1.0 with the phase angle, \"----\" now and then"},
    {SimulatorScenario::Energy, "energy", "the energy register with its hours:minutes counter"},
    {SimulatorScenario::Faults, "faults",
        "the tour, with a line fault instead of a frame now and then"},
}};

constexpr std::uint8_t kCodeVac = 1;
constexpr std::uint8_t kCodeAac = 2;
constexpr std::uint8_t kCodeKw = 3;
constexpr std::uint8_t kCodeKva = 4;
constexpr std::uint8_t kCodeKvar = 5;
constexpr std::uint8_t kCodePf = 6;
constexpr std::uint8_t kCodeEnergy = 7;
constexpr std::uint8_t kWiringThreePhaseThreeWire = 3;

constexpr int kTourFramesPerFunction = 30;
constexpr double kStrayCodeChance = 0.004;
constexpr double kOverRangeChance = 0.02;
constexpr double kFaultChance = 0.15;
constexpr double kNoPhaseChance = 0.01;
constexpr double kPhaseChangeChance = 0.02;
constexpr std::size_t kMostStrayBytes = 8;

// Chances per frame that an annunciator episode starts and that it ends.
struct Episode {
    double start;
    double end;
};
constexpr Episode kBatEpisode {0.01, 0.05};
constexpr Episode kMrEpisode {0.01, 0.1};
constexpr Episode kNoNumberEpisode {0.04, 0.25};
constexpr Episode kThreeWireEpisode {0.01, 0.03};

bool stepEpisode(bool on, Episode episode, SimulatorRandom& random)
{
    return on ? !random.chance(episode.end) : random.chance(episode.start);
}

std::uint8_t singleFunctionCode(SimulatorScenario scenario)
{
    switch (scenario) {
    case SimulatorScenario::Vac:
        return kCodeVac;
    case SimulatorScenario::Aac:
        return kCodeAac;
    case SimulatorScenario::Kw:
        return kCodeKw;
    case SimulatorScenario::Kva:
        return kCodeKva;
    case SimulatorScenario::Kvar:
        return kCodeKvar;
    case SimulatorScenario::Pf:
        return kCodePf;
    case SimulatorScenario::Energy:
        return kCodeEnergy;
    case SimulatorScenario::Tour:
    case SimulatorScenario::Faults:
        break;
    }
    return 0;
}

std::uint8_t notHeader(SimulatorRandom& random)
{
    const std::uint8_t value = random.byte();
    return value == kFrameHeader ? static_cast<std::uint8_t>(value + 1) : value;
}

} // namespace

std::span<const ScenarioInfo> simulatorScenarios()
{
    return kScenarios;
}

std::string longIntervalWarning(std::chrono::milliseconds interval)
{
    if (interval <= kLongestLiveInterval)
        return {};
    const auto frameTime = timeOnLine(kFrameSize);
    const std::string watchdog = std::to_string(kWatchdogInterval.count() / 1000) + " s";
    return "warning: with --interval " + std::to_string(interval.count()) + " each frame comes "
        + std::to_string((interval + frameTime).count()) + " ms after the one before (the gap, and "
        + std::to_string(frameTime.count())
        + " ms for the frame on the line), too close to or past the " + watchdog
        + " without a frame after which the program takes the line for dead: \"NO DATA\" shows "
          "between the frames, and clampmeter-cli log notes \"no data for "
        + watchdog + "\". Gaps up to " + std::to_string(kLongestLiveInterval.count())
        + " ms keep the line alive.";
}

std::optional<SimulatorScenario> scenarioFromName(std::string_view name)
{
    const auto* found = std::find_if(kScenarios.begin(), kScenarios.end(),
        [name](const ScenarioInfo& info) { return info.name == name; });
    if (found == kScenarios.end())
        return std::nullopt;
    return found->scenario;
}

MeterSimulator::MeterSimulator(SimulatorSettings settings)
    : m_settings(settings)
    , m_random(settings.seed)
    , m_line(m_random)
{
    m_settings.interval = std::max(m_settings.interval, std::chrono::milliseconds {0});
    m_phase = static_cast<std::uint8_t>(1 + m_random.below(3));
    m_number = m_random.byte();
    const std::uint8_t single = singleFunctionCode(m_settings.scenario);
    m_tourCode = single != 0 ? single : kCodeVac;
}

SimulatedBurst MeterSimulator::next()
{
    if (m_settings.scenario == SimulatorScenario::Faults && m_random.chance(kFaultChance))
        return fault(static_cast<StreamFault>(m_random.below(4)));
    const EncodedFrame frame = nextFrame();
    return makeBurst(BurstKind::Frame, {frame.begin(), frame.end()}, m_settings.interval);
}

SimulatedBurst MeterSimulator::fault(StreamFault kind)
{
    switch (kind) {
    case StreamFault::BackToBack: {
        const EncodedFrame first = nextFrame();
        const EncodedFrame second = nextFrame();
        std::vector<std::uint8_t> bytes(first.begin(), first.end());
        bytes.insert(bytes.end(), second.begin(), second.end());
        return makeBurst(BurstKind::BackToBack, std::move(bytes), m_settings.interval);
    }
    case StreamFault::WrongHeader: {
        EncodedFrame frame = nextFrame();
        // 0: the first header byte was garbled, 1: the second, 2: both.
        const std::uint32_t which = m_random.below(3);
        if (which != 1)
            frame[0] = notHeader(m_random);
        if (which != 0)
            frame[1] = notHeader(m_random);
        return makeBurst(BurstKind::WrongHeader, {frame.begin(), frame.end()}, m_settings.interval);
    }
    case StreamFault::StrayBytes: {
        std::vector<std::uint8_t> bytes(1 + m_random.below(kMostStrayBytes));
        for (auto& byte : bytes)
            byte = m_random.byte();
        return makeBurst(BurstKind::StrayBytes, std::move(bytes), m_settings.interval);
    }
    case StreamFault::Silence:
        break;
    }
    return makeBurst(BurstKind::Silence, {}, kSilenceGap);
}

SimulatedBurst MeterSimulator::makeBurst(
    BurstKind kind, std::vector<std::uint8_t> bytes, std::chrono::milliseconds gap)
{
    const auto onLine = kByteTimeOnLine * static_cast<std::int64_t>(bytes.size()) + gap;
    m_line.advance(std::chrono::duration<double>(onLine).count(), m_random);
    return {kind, std::move(bytes), gap};
}

EncodedFrame MeterSimulator::nextFrame()
{
    moveAnnunciators();
    const std::uint8_t code = nextFunctionCode();
    FrameFields fields = readingFor(code);
    fields.wiring = m_line.wiring() == Wiring::ThreePhaseThreeWire ? kWiringThreePhaseThreeWire : 0;
    fields.phase = m_random.chance(kNoPhaseChance) ? 0 : m_phase;
    fields.number = m_number++;
    fields.flags = static_cast<std::uint8_t>((m_bat ? kFlagBat : 0) | (m_mr ? kFlagMr : 0));
    if (m_noNumber && (code == kCodeKw || code == kCodePf))
        fields.flags |= kFlagNoNumber;
    fields.functionCode = code;
    fields.trailer = {m_random.byte(), m_random.byte()};
    return encodeFrame(fields);
}

void MeterSimulator::moveAnnunciators()
{
    m_bat = stepEpisode(m_bat, kBatEpisode, m_random);
    m_mr = stepEpisode(m_mr, kMrEpisode, m_random);
    m_noNumber = stepEpisode(m_noNumber, kNoNumberEpisode, m_random);
    const bool threeWire
        = stepEpisode(m_line.wiring() == Wiring::ThreePhaseThreeWire, kThreeWireEpisode, m_random);
    m_line.setWiring(threeWire ? Wiring::ThreePhaseThreeWire : Wiring::SinglePhase);
    if (m_random.chance(kPhaseChangeChance))
        m_phase = static_cast<std::uint8_t>(1 + (m_phase + m_random.below(2)) % 3);
}

std::uint8_t MeterSimulator::nextFunctionCode()
{
    if (m_settings.scenario != SimulatorScenario::Tour
        && m_settings.scenario != SimulatorScenario::Faults)
        return m_tourCode;
    if (m_dialTurnFrames > 0) {
        --m_dialTurnFrames;
        return 0;
    }
    if (m_random.chance(kStrayCodeChance))
        return static_cast<std::uint8_t>(kCodeEnergy + 1 + m_random.below(255 - kCodeEnergy));
    const std::uint8_t code = m_tourCode;
    if (++m_framesOnFunction == kTourFramesPerFunction) {
        m_framesOnFunction = 0;
        m_tourCode = static_cast<std::uint8_t>(m_tourCode % kCodeEnergy + 1);
        // The dial clicks through a position between two functions.
        m_dialTurnFrames = 1 + static_cast<int>(m_random.below(2));
    }
    return code;
}

FrameFields MeterSimulator::readingFor(std::uint8_t code)
{
    FrameFields fields;
    const bool overRange = m_random.chance(kOverRangeChance);
    auto overOr = [&](double limit, double value) {
        return static_cast<float>(overRange ? m_random.between(limit, limit * 1.2) : value);
    };
    const auto angle = static_cast<float>(m_line.phaseAngleDegrees());
    switch (code) {
    case kCodeVac:
        fields.mainValue = overOr(750.0, m_line.volts());
        fields.secondaryValue = static_cast<float>(m_line.hertz());
        break;
    case kCodeAac:
        fields.mainValue = overOr(1000.0, m_line.amps());
        fields.secondaryValue = static_cast<float>(m_line.volts());
        break;
    case kCodeKw:
        fields.mainValue = overOr(750.0, m_line.kw());
        fields.secondaryValue = angle;
        break;
    case kCodeKva:
        fields.mainValue = overOr(750.0, m_line.kva());
        fields.secondaryValue = static_cast<float>(m_line.kvar());
        break;
    case kCodeKvar:
        fields.mainValue = overOr(750.0, m_line.kvar());
        fields.secondaryValue = static_cast<float>(m_line.kva());
        break;
    case kCodePf:
        fields.mainValue = static_cast<float>(m_line.powerFactor());
        fields.secondaryValue = angle;
        break;
    case kCodeEnergy: {
        fields.mainValue = overOr(9999.0, m_line.kwh());
        const std::uint32_t minutes = m_line.countedMinutes();
        fields.counter = {
            static_cast<std::uint8_t>(minutes / 60 % 256), static_cast<std::uint8_t>(minutes % 60)};
        break;
    }
    default:
        // Between dial positions the meter still sends its last voltage reading.
        fields.mainValue = static_cast<float>(m_line.volts());
        break;
    }
    return fields;
}

} // namespace clampmeter
