// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "simulator/simulator_random.h"

#include <cstdint>

namespace clampmeter {

/// How the simulated clamp meter is hooked up.
enum class Wiring : std::uint8_t {
    SinglePhase, ///< volts are line to neutral, about 230 V
    ThreePhaseThreeWire, ///< volts are line to line, about 400 V; power counts all three lines
};

/// The electrical load that the simulated meter measures: a 50 Hz mains line whose voltage
/// drifts slowly around its nominal value, and a load whose current ramps from one level to
/// the next and flickers a little while it runs. The powers are always consistent:
/// kVA = V·A / 1000 (× √3 for three phases), kW = kVA · PF, kVAR = kVA · sin φ.
///
/// A plain value: the random source is passed in, so a copy runs on independently.
class PowerLineModel {
public:
    /// Starts with a random load and an energy register that has been counting for a while.
    explicit PowerLineModel(SimulatorRandom& random);

    /// Moves every quantity on by `seconds` of meter time (>= 0).
    void advance(double seconds, SimulatorRandom& random);

    void setWiring(Wiring wiring) { m_wiring = wiring; }
    Wiring wiring() const { return m_wiring; }

    double volts() const; ///< V rms
    double hertz() const { return m_hertz; } ///< 50.00 … 50.04 Hz
    double amps() const { return m_amps; } ///< A rms, about 0.5 … 410 A
    double powerFactor() const { return m_powerFactor; } ///< 0.5 … 1.0, lagging
    double phaseAngleDegrees() const; ///< acos(PF) in degrees, 0 … 60
    double kva() const;
    double kw() const;
    double kvar() const;
    double kwh() const { return m_kwh; } ///< the energy register, kWh
    /// Whole minutes the energy register has been counting.
    std::uint32_t countedMinutes() const;

private:
    void pickLoad(SimulatorRandom& random);

    Wiring m_wiring = Wiring::SinglePhase;
    double m_voltDrift = 0.0;
    double m_voltRipple = 0.0;
    double m_hertz = 50.0;
    double m_loadAmps = 1.0;
    double m_targetAmps = 1.0;
    double m_amps = 1.0;
    double m_targetPowerFactor = 0.9;
    double m_powerFactor = 0.9;
    double m_kwh = 0.0;
    double m_countedSeconds = 0.0;
};

} // namespace clampmeter
