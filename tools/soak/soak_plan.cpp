// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "soak_plan.h"

#include "link/measurement_frame.h"

#include <algorithm>
#include <array>
#include <utility>

namespace clampmeter::soak {

SoakPlan planSoak(
    int frames, std::uint32_t seed, std::chrono::milliseconds interval, int faultEvery)
{
    static constexpr std::array kFaults = {StreamFault::BackToBack, StreamFault::WrongHeader,
        StreamFault::StrayBytes, StreamFault::Silence};
    MeterSimulator meter({SimulatorScenario::Tour, seed, interval});
    SoakPlan plan;
    bool strayWaiting = false;
    std::size_t nextFault = 0;
    while (plan.frames < frames) {
        SimulatedBurst burst = meter.next();
        plan.steps.push_back({burst, interval, !strayWaiting});
        strayWaiting = false;
        ++plan.frames;
        if (faultEvery <= 0 || plan.frames % faultEvery != 0)
            continue;
        const StreamFault kind = kFaults[nextFault++ % kFaults.size()];
        SimulatedBurst fault = meter.fault(kind);
        const auto quiet = kind == StreamFault::Silence ? fault.gap : interval;
        plan.steps.push_back({std::move(fault), quiet, false});
        (kind == StreamFault::Silence ? plan.silences : plan.faults) += 1;
        strayWaiting = kind == StreamFault::StrayBytes;
    }
    return plan;
}

std::vector<StoredTexts> expectedRecords(const SoakPlan& plan, std::string_view initialUnit)
{
    std::vector<StoredTexts> expected;
    std::string unit(initialUnit);
    for (const SoakStep& step : plan.steps) {
        if (!step.mustBeStored)
            continue;
        const MeasurementFrame frame = decodeFrame(FrameBytes(step.burst.bytes.data(), kFrameSize));
        if (frame.function != nullptr)
            unit = frame.function->unitCaption;
        expected.push_back({std::string(frame.function != nullptr ? frame.function->id : ""),
            frame.MainText, unit});
    }
    return expected;
}

namespace {

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

} // namespace

std::vector<StoredTexts> recordsOfExport(std::string_view exportFile)
{
    std::vector<StoredTexts> records;
    bool header = true;
    for (std::string_view line : split(exportFile, '\n')) {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (std::exchange(header, false) || line.empty())
            continue;
        const std::vector<std::string_view> fields = split(line, ';');
        if (fields.size() >= 4)
            records.push_back(
                {std::string(fields[1]), std::string(fields[2]), std::string(fields[3])});
    }
    return records;
}

SoakComparison compareRecords(
    const std::vector<StoredTexts>& expected, const std::vector<StoredTexts>& stored)
{
    // Walks both in step; at a difference, looks a few records ahead on either side for the
    // place where they agree again, so one loss or one stray record does not shift all
    // that follows.
    constexpr std::size_t kLookAhead = 16;
    SoakComparison result;
    result.stored = static_cast<int>(stored.size());
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < expected.size() && j < stored.size()) {
        if (expected[i] == stored[j]) {
            ++result.matched;
            ++i;
            ++j;
            continue;
        }
        std::size_t skip = 1;
        for (; skip <= kLookAhead; ++skip) {
            if (i + skip < expected.size() && expected[i + skip] == stored[j]) {
                result.lost += static_cast<int>(skip);
                i += skip;
                break;
            }
            if (j + skip < stored.size() && stored[j + skip] == expected[i]) {
                result.wronglyAccepted += static_cast<int>(skip);
                j += skip;
                break;
            }
        }
        if (skip > kLookAhead) { // no agreement near: one of each
            ++result.lost;
            ++result.wronglyAccepted;
            ++i;
            ++j;
        }
    }
    result.lost += static_cast<int>(expected.size() - i);
    result.wronglyAccepted += static_cast<int>(stored.size() - j);
    return result;
}

} // namespace clampmeter::soak
