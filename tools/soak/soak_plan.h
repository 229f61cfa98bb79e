// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "simulator/meter_simulator.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace clampmeter::soak {

/// One burst the soak writes to the line, and whether the program must store it.
struct SoakStep {
    SimulatedBurst burst;
    std::chrono::milliseconds quietAfter {0};
    bool mustBeStored = false; ///< a frame that arrives alone on an empty, armed port
};

/// A record as the export file gives it back.
struct StoredTexts {
    std::string fun;
    std::string data;
    std::string unit;
    bool operator==(const StoredTexts&) const = default;
};

struct SoakPlan {
    std::vector<SoakStep> steps;
    int frames = 0; ///< frames sent alone
    int faults = 0; ///< back to back, wrong header, stray bytes
    int silences = 0;
};

/// `frames` frames of the faults-free tour with a fault after every `faultEvery` frames,
/// cycling back to back, wrong header, stray bytes, and a silence longer than the watchdog
/// every fourth fault. Every burst is followed by `interval` of quiet (the silence by its own
/// gap). A frame right after stray bytes is lost with them, by design: the stray bytes wait
/// below the receive threshold and the frame makes a batch of the wrong size.
SoakPlan planSoak(
    int frames, std::uint32_t seed, std::chrono::milliseconds interval, int faultEvery);

/// What the export must hold, in order: the decoder's texts of every frame that must be
/// stored, the unit following the function captions from `initialUnit` on.
std::vector<StoredTexts> expectedRecords(const SoakPlan& plan, std::string_view initialUnit);

/// The records of an export file (header line, then " n;fun;data;unit;time;date" lines).
std::vector<StoredTexts> recordsOfExport(std::string_view exportFile);

struct SoakComparison {
    int stored = 0;
    int matched = 0; ///< expected records found in order with their exact texts
    int lost = 0; ///< expected but not stored
    int wronglyAccepted = 0; ///< stored without being expected
};

/// Lines up what was stored against what was expected, record by record.
SoakComparison compareRecords(
    const std::vector<StoredTexts>& expected, const std::vector<StoredTexts>& stored);

} // namespace clampmeter::soak
