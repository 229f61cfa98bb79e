// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "simulator/power_line_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace clampmeter {
namespace {

constexpr double kNominalVolts = 230.0;
constexpr double kMaxVoltDrift = 7.0;
// The drift forgets its past over about a minute, so it wanders but stays near nominal.
constexpr double kDriftMemorySeconds = 60.0;
constexpr double kDriftStepVolts = 0.35;
constexpr double kRippleVolts = 0.15;

// Loads from a phone charger to a large motor, spread evenly on a log scale.
constexpr double kSmallestLoadAmps = 0.5;
constexpr double kLargestLoadAmps = 400.0;
// Roughly one load change every 20 s, reached over a few seconds.
constexpr double kLoadChangeSeconds = 20.0;
constexpr double kRampSeconds = 4.0;
constexpr double kFlicker = 0.02;

constexpr double kLowestPowerFactor = 0.5;
constexpr double kPowerFactorJitter = 0.004;

constexpr double kSecondsPerHour = 3600.0;
constexpr double kLongestStartHours = 120.0;

} // namespace

PowerLineModel::PowerLineModel(SimulatorRandom& random)
{
    pickLoad(random);
    m_loadAmps = m_targetAmps;
    m_amps = m_targetAmps;
    m_powerFactor = m_targetPowerFactor;
    m_voltDrift = random.between(-3.0, 3.0);
    m_kwh = std::exp(random.between(std::log(0.5), std::log(3000.0)));
    m_countedSeconds = random.between(0.0, kLongestStartHours * kSecondsPerHour);
}

void PowerLineModel::pickLoad(SimulatorRandom& random)
{
    m_targetAmps
        = std::exp(random.between(std::log(kSmallestLoadAmps), std::log(kLargestLoadAmps)));
    m_targetPowerFactor = random.between(0.55, 0.99);
}

void PowerLineModel::advance(double seconds, SimulatorRandom& random)
{
    const double dt = std::max(seconds, 0.0);

    const double pull = std::min(dt / kDriftMemorySeconds, 1.0);
    m_voltDrift
        += -m_voltDrift * pull + random.between(-1.0, 1.0) * kDriftStepVolts * std::sqrt(dt);
    m_voltDrift = std::clamp(m_voltDrift, -kMaxVoltDrift, kMaxVoltDrift);
    m_voltRipple = random.between(-kRippleVolts, kRippleVolts);
    m_hertz = 50.0 + random.between(0.0, 0.04);

    if (random.chance(std::min(dt / kLoadChangeSeconds, 1.0)))
        pickLoad(random);
    const double ramp = std::min(dt / kRampSeconds, 1.0);
    m_loadAmps += (m_targetAmps - m_loadAmps) * ramp;
    m_amps = m_loadAmps * (1.0 + random.between(-kFlicker, kFlicker));
    m_powerFactor += (m_targetPowerFactor - m_powerFactor) * ramp;
    m_powerFactor
        = std::clamp(m_powerFactor + random.between(-kPowerFactorJitter, kPowerFactorJitter),
            kLowestPowerFactor, 1.0);

    m_kwh += kw() * dt / kSecondsPerHour;
    m_countedSeconds += dt;
}

double PowerLineModel::volts() const
{
    const double lineToNeutral = kNominalVolts + m_voltDrift + m_voltRipple;
    return m_wiring == Wiring::ThreePhaseThreeWire ? lineToNeutral * std::numbers::sqrt3
                                                   : lineToNeutral;
}

double PowerLineModel::phaseAngleDegrees() const
{
    return std::acos(m_powerFactor) * 180.0 / std::numbers::pi;
}

double PowerLineModel::kva() const
{
    const double voltAmps = volts() * m_amps;
    return (m_wiring == Wiring::ThreePhaseThreeWire ? voltAmps * std::numbers::sqrt3 : voltAmps)
        / 1000.0;
}

double PowerLineModel::kw() const
{
    return kva() * m_powerFactor;
}

double PowerLineModel::kvar() const
{
    return kva() * std::sqrt(std::max(1.0 - m_powerFactor * m_powerFactor, 0.0));
}

std::uint32_t PowerLineModel::countedMinutes() const
{
    return static_cast<std::uint32_t>(m_countedSeconds / 60.0);
}

} // namespace clampmeter
