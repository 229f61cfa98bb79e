// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <random>

namespace clampmeter {

/// The meter simulator's dice. Built on the raw output of std::mt19937, which the standard
/// fixes bit for bit, rather than on the standard distributions, which it does not: a seed
/// gives the same draws with every standard library.
class SimulatorRandom {
public:
    explicit SimulatorRandom(std::uint32_t seed)
        : m_engine(seed)
    {
    }

    /// Uniform in [0, 1).
    double unit() { return static_cast<double>(m_engine()) * kScale; }

    /// Uniform in [low, high).
    double between(double low, double high) { return low + (high - low) * unit(); }

    /// True with probability p (0 … 1).
    bool chance(double p) { return unit() < p; }

    /// Uniform in 0 … n - 1; n must be at least 1.
    std::uint32_t below(std::uint32_t n)
    {
        return static_cast<std::uint32_t>(unit() * static_cast<double>(n));
    }

    /// Any byte value 0 … 255.
    std::uint8_t byte() { return static_cast<std::uint8_t>(m_engine() >> 24); }

private:
    static constexpr double kScale = 1.0 / 4294967296.0;

    std::mt19937 m_engine;
};

} // namespace clampmeter
