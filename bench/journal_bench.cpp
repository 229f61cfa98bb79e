// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the session journal adds to each reading: one line built and written to a file on
// disk. The once-a-second sync is left out (it is one call a second, not one a reading);
// BM_JournalSync gives its cost.

#include "journal/session_journal.h"
#include "simulator/frame_encoder.h"
#include "temp_folder.h"

#include <benchmark/benchmark.h>

namespace clampmeter {
namespace {

SessionJournal makeJournal(const TempFolder& folder)
{
    return SessionJournal(
        {folder.path() / "sessions", "20261210T130000Z-1", "bench", 1},
        [] { return std::chrono::system_clock::now(); }, [](const std::string&) {});
}

DataRecord typicalRecord()
{
    DataRecord record;
    record.FunText = "FUN_VAC";
    record.DataText = "229.8";
    record.UnitText = "v";
    record.DateText = "10/12/26";
    record.TimeText = "14:03:07";
    record.StampText = "10/12/26\\14:03:07";
    return record;
}

void BM_JournalAppend(benchmark::State& state)
{
    const TempFolder folder;
    SessionJournal journal = makeJournal(folder);
    journal.start();
    const EncodedFrame frame = encodeFrame({.functionCode = 1, .mainValue = 229.9F});
    const DataRecord record = typicalRecord();
    for (auto _ : state)
        journal.readingCaptured(frame, record, true);
    if (journal.failing())
        state.SkipWithError("the journal could not be written");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_JournalAppend)->Unit(benchmark::kMicrosecond);

void BM_JournalSync(benchmark::State& state)
{
    const TempFolder folder;
    SessionJournal journal = makeJournal(folder);
    journal.start();
    const EncodedFrame frame = encodeFrame({.functionCode = 1, .mainValue = 229.9F});
    const DataRecord record = typicalRecord();
    for (auto _ : state) {
        journal.readingCaptured(frame, record, true);
        journal.sync();
    }
}
BENCHMARK(BM_JournalSync)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace clampmeter
