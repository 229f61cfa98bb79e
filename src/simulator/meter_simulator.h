// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/frame_sync.h"
#include "simulator/frame_encoder.h"
#include "simulator/power_line_model.h"
#include "simulator/simulator_random.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace clampmeter {

/// What the simulated meter does over time.
enum class SimulatorScenario : std::uint8_t {
    Tour, ///< all seven functions in turn, a while on each
    Vac, ///< function 1 only
    Aac, ///< function 2 only
    Kw, ///< function 3 only
    Kva, ///< function 4 only
    Kvar, ///< function 5 only
    Pf, ///< function 6 only
    Energy, ///< function 7 only
    Faults, ///< the tour, with stream faults mixed in
};

struct ScenarioInfo {
    SimulatorScenario scenario;
    std::string_view name; ///< as typed on a command line: "tour", "vac", …
    std::string_view description; ///< plain ASCII, at most 66 characters, for help texts
};

/// Every scenario, the default ("tour") first.
std::span<const ScenarioInfo> simulatorScenarios();

/// The scenario of a name from simulatorScenarios(), or nothing.
std::optional<SimulatorScenario> scenarioFromName(std::string_view name);

/// The ways a line can go wrong, each one burst.
enum class StreamFault : std::uint8_t {
    BackToBack, ///< two frames with no pause between them: 34 bytes
    WrongHeader, ///< 17 bytes whose byte 0, byte 1 or both are not 0x68
    StrayBytes, ///< 1 … 8 random bytes
    Silence, ///< nothing at all for kSilenceGap
};

/// What one burst holds.
enum class BurstKind : std::uint8_t { Frame, BackToBack, WrongHeader, StrayBytes, Silence };

/// The quiet gap of a Silence burst: longer than the 2 s after which a link counts as dead.
inline constexpr std::chrono::milliseconds kSilenceGap {2500};

/// The time one byte takes on the meter's line: 10 bits (start, 8 data, stop) at 2400 baud.
inline constexpr std::chrono::microseconds kByteTimeOnLine {10'000'000 / 2400};

/// How long `byteCount` bytes take on the meter's line, rounded up to whole milliseconds:
/// 71 ms for a frame. Nothing paces a pseudo-terminal, so a writer to one waits this long
/// after each burst, before its quiet gap, to keep to the line's speed.
constexpr std::chrono::milliseconds timeOnLine(std::size_t byteCount)
{
    return std::chrono::ceil<std::chrono::milliseconds>(
        kByteTimeOnLine * static_cast<std::int64_t>(byteCount));
}

/// The shortest quiet gap after a frame that the command lines accept. The program finds
/// where a frame begins when a tick of its 50 ms resynchronisation timer sees no byte since
/// the tick before; only a gap of two ticks holds such a tick wherever the frame falls.
inline constexpr std::chrono::milliseconds kShortestInterval {100};
/// The longest quiet gap the command lines accept: ten minutes.
inline constexpr std::chrono::milliseconds kLongestInterval {600'000};
/// The longest quiet gap that keeps the program's link alive: its watchdog takes a line that
/// brought no frame for 2 s as dead, and a frame itself takes 71 ms on the line, which leaves
/// 1929 ms; 1900 ms also leave room for a tick that runs a little late.
inline constexpr std::chrono::milliseconds kLongestLiveInterval {1900};
static_assert(kLongestLiveInterval + timeOnLine(kFrameSize) < kWatchdogInterval);

/// For a quiet gap longer than kLongestLiveInterval, a warning that says why the program will
/// show "NO DATA" between the frames (the command lines accept such gaps, to see just that);
/// empty for a gap that keeps the link alive.
std::string longIntervalWarning(std::chrono::milliseconds interval);

struct SimulatorSettings {
    SimulatorScenario scenario = SimulatorScenario::Tour;
    std::uint32_t seed = 1; ///< the same seed gives the same bytes
    /// The quiet gap after each frame (the pause between the end of one frame and the start
    /// of the next). Negative values count as 0.
    std::chrono::milliseconds interval {500};
};

/// Bytes to write to the line at once, then a quiet gap to keep before the next burst.
struct SimulatedBurst {
    BurstKind kind = BurstKind::Frame;
    std::vector<std::uint8_t> bytes; ///< 17 for a Frame; empty for Silence
    std::chrono::milliseconds gap {0};
};

/// A clamp meter that streams the state of its display, for the demo, the tests and anyone
/// without a meter. Values move plausibly: line voltage near 230 V (near 400 V when wired
/// three-phase three-wire) drifting slowly at 50 Hz, load currents that ramp and flicker,
/// powers consistent with volts, amps and a power factor of 0.5 … 1.0, and an energy register
/// that accumulates with its hours:minutes counter. Now and then a reading is over range, the
/// "----" flag is raised on functions 3 and 6, the phase and wiring change, "bat" or "MR"
/// come on, and on a tour the dial passes positions with no function code (0, or rarely
/// anything above 7).
///
/// Meter time moves on by each burst's time on the line (kByteTimeOnLine per byte) plus its
/// gap, whether or not anybody waits for it. A plain value: copies run on independently, and
/// two simulators with the same settings give the same bursts on the same build.
class MeterSimulator {
public:
    explicit MeterSimulator(SimulatorSettings settings = {});

    /// The next burst of the scenario: always a single Frame except in the faults scenario.
    SimulatedBurst next();

    /// A burst with the given fault, now, in any scenario. BackToBack and WrongHeader carry
    /// the scenario's next frames.
    SimulatedBurst fault(StreamFault kind);

    const SimulatorSettings& settings() const { return m_settings; }

private:
    EncodedFrame nextFrame();
    std::uint8_t nextFunctionCode();
    void moveAnnunciators();
    FrameFields readingFor(std::uint8_t code);
    SimulatedBurst makeBurst(
        BurstKind kind, std::vector<std::uint8_t> bytes, std::chrono::milliseconds gap);

    SimulatorSettings m_settings;
    SimulatorRandom m_random;
    PowerLineModel m_line;
    std::uint8_t m_number = 0;
    std::uint8_t m_phase = 1;
    bool m_bat = false;
    bool m_mr = false;
    bool m_noNumber = false;
    std::uint8_t m_tourCode = 1;
    int m_framesOnFunction = 0;
    int m_dialTurnFrames = 0;
};

} // namespace clampmeter
