// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes the fuzz targets' seed corpora from the meter simulator: real frames, streams with
// every line fault, framing scripts, records as the program stores them. The build runs it;
// nothing binary is kept in the sources.
//
// Usage: fuzz_seed_corpora FOLDER   (makes FOLDER/<target>/seed-NNN)

#include "journal/journal_line.h"
#include "link/measurement_frame.h"
#include "simulator/meter_simulator.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace clampmeter;
using Bytes = std::vector<std::uint8_t>;

class Corpus {
public:
    Corpus(const std::filesystem::path& root, std::string_view target)
        : m_folder(root / target)
    {
        std::filesystem::create_directories(m_folder);
    }
    void add(const Bytes& bytes)
    {
        char name[32];
        std::snprintf(name, sizeof name, "seed-%03d", m_count++);
        const std::filesystem::path path = m_folder / name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
        // A seed cut short by a full disk would quietly fuzz from less.
        if (!out.flush()) {
            std::fprintf(stderr, "seed_corpora: cannot write %s\n", path.c_str());
            std::exit(1);
        }
    }

private:
    std::filesystem::path m_folder;
    int m_count = 0;
};

/// The bursts of a scenario, faults of every kind mixed in.
std::vector<SimulatedBurst> bursts(SimulatorScenario scenario, std::uint32_t seed, int count)
{
    MeterSimulator simulator({scenario, seed, std::chrono::milliseconds(500)});
    std::vector<SimulatedBurst> result;
    for (int i = 0; i < count; ++i) {
        const auto fault = static_cast<StreamFault>(i % 5);
        result.push_back(i % 5 == 4 ? simulator.next() : simulator.fault(fault));
        result.push_back(simulator.next());
    }
    return result;
}

void frameSeeds(Corpus& corpus)
{
    for (const ScenarioInfo& info : simulatorScenarios()) {
        MeterSimulator simulator({info.scenario, 7, std::chrono::milliseconds(500)});
        for (int i = 0; i < 12; ++i)
            corpus.add(simulator.next().bytes);
    }
}

/// A whole capture as `clampmeter-cli decode` reads it.
void streamSeeds(Corpus& corpus)
{
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        Bytes stream;
        for (const SimulatedBurst& burst : bursts(SimulatorScenario::Faults, seed, 20))
            stream.insert(stream.end(), burst.bytes.begin(), burst.bytes.end());
        corpus.add(stream);
    }
}

/// Framing scripts: each burst arrives as one batch (operation 0) or in two, then Timer1
/// ticks (operation 2) through its quiet gap; silences let Timer2 (operation 3) fire.
void framingSeeds(Corpus& corpus)
{
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        Bytes script;
        for (const SimulatedBurst& burst : bursts(SimulatorScenario::Faults, seed, 12)) {
            const std::size_t half = seed % 2 == 0 ? burst.bytes.size() / 2 : burst.bytes.size();
            for (std::size_t from = 0; from < burst.bytes.size();
                 from += std::max<std::size_t>(half, 1)) {
                const std::size_t n = std::min(half, burst.bytes.size() - from);
                script.push_back(0);
                script.push_back(static_cast<std::uint8_t>(n));
                script.insert(script.end(), burst.bytes.begin() + static_cast<std::ptrdiff_t>(from),
                    burst.bytes.begin() + static_cast<std::ptrdiff_t>(from + n));
            }
            script.push_back(2);
            script.push_back(2);
            if (burst.kind == BurstKind::Silence)
                script.push_back(3);
        }
        script.push_back(4);
        corpus.add(script);
    }
}

/// Records as the writers' target reads them: five texts with their lengths, then a byte.
void recordSeeds(Corpus& corpus)
{
    MeterSimulator simulator({SimulatorScenario::Tour, 3, std::chrono::milliseconds(500)});
    for (int file = 0; file < 6; ++file) {
        Bytes input;
        for (int i = 0; i < 8; ++i) {
            const SimulatedBurst burst = simulator.next();
            const MeasurementFrame frame = decodeFrame(FrameBytes(burst.bytes.data(), kFrameSize));
            const std::string fun(frame.function != nullptr ? frame.function->id : "");
            const std::string unit(frame.function != nullptr ? frame.function->unitCaption : "");
            for (const std::string& text :
                {fun, frame.MainText, unit, std::string("10/12/26"), std::string("14:03:07")}) {
                input.push_back(static_cast<std::uint8_t>(text.size()));
                input.insert(input.end(), text.begin(), text.end());
            }
            input.push_back(static_cast<std::uint8_t>(i));
        }
        corpus.add(input);
    }
}

/// Registry scripts: a name (its length, then its bytes), an operation, its arguments.
void registrySeeds(Corpus& corpus)
{
    auto text = [](Bytes& script, std::string_view name) {
        script.push_back(static_cast<std::uint8_t>(name.size()));
        script.insert(script.end(), name.begin(), name.end());
    };
    const std::string_view names[] = {"clampmeter.exe", "Tools\\clampmeter.exe", "CLAMPMETER.EXE",
        "a\\b\\c", "\\", "Trailing\\", "x"};
    for (const std::string_view name : names) {
        Bytes script;
        text(script, name); // create
        script.push_back(0);
        text(script, name); // a text value
        script.push_back(7);
        text(script, "Path");
        text(script, "C:\\Program Files\\clampmeter");
        text(script, name); // count, read, delete
        script.push_back(6);
        text(script, name);
        script.push_back(2);
        text(script, "Path");
        text(script, name);
        script.push_back(3);
        corpus.add(script);
    }
}

/// Journals as the program writes them: readings of every kind, clears, saves, a clean end
/// or none, and one cut part-way through its last line.
void journalSeeds(Corpus& corpus)
{
    MeterSimulator simulator({SimulatorScenario::Faults, 11, std::chrono::milliseconds(500)});
    for (int journal = 0; journal < 6; ++journal) {
        std::string text = startLine("2026-12-10T13:00:00.000Z", "clampmeter", 42);
        for (int i = 0; i < 12; ++i) {
            const auto bytes = simulator.next().bytes;
            if (bytes.size() != kFrameSize)
                continue;
            const FrameBytes frame(bytes.data(), kFrameSize);
            const MeasurementFrame reading = decodeFrame(frame);
            DataRecord record;
            record.FunText = reading.function != nullptr ? reading.function->id : "";
            record.DataText = reading.MainText;
            record.UnitText = "v";
            record.DateText = journal % 2 == 0 ? "10/12/26" : "10. Dez. 2026";
            record.TimeText = "14:03:07";
            appendReadingLine(text, "2026-12-10T13:00:01.250Z", frame, record, i % 7 != 6);
            if (i == journal)
                text += clearLine("2026-12-10T13:00:02.000Z");
            if (i == journal + 3)
                text += savedLine("2026-12-10T13:00:03.000Z", SavedFormat::Csv, 3);
        }
        if (journal % 3 == 0)
            text += endLine("2026-12-10T13:00:04.000Z");
        if (journal == 5)
            text.resize(text.size() - 9);
        corpus.add(Bytes(text.begin(), text.end()));
    }
}

/// The backlog's files as the logger leaves them: acknowledged and reserved records, then
/// the newest file of readings, whole, cut short, or after a power cut's zeros.
void backlogSeeds(Corpus& corpus)
{
    for (int seeds = 0; seeds < 4; ++seeds) {
        std::string text = std::to_string(seeds) + "\n" + std::to_string(100 * (seeds + 1)) + "\n";
        for (int seq = 1; seq <= 8; ++seq) {
            text += std::to_string(seq) + " {\"seq\":" + std::to_string(seq)
                + ",\"time\":\"2026-12-10T14:03:07.250+01:00\",\"fun\":\"FUN_VAC\",\"main\":\"229."
                  "8\"}\n";
        }
        if (seeds == 1)
            text.resize(text.size() - 11);
        if (seeds == 2)
            text += std::string(24, '\0');
        corpus.add(Bytes(text.begin(), text.end()));
    }
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seed_corpora FOLDER\n");
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    Corpus decode(root, "fuzz_frame_decode");
    frameSeeds(decode);
    Corpus sync(root, "fuzz_frame_sync");
    framingSeeds(sync);
    Corpus writers(root, "fuzz_file_writers");
    recordSeeds(writers);
    Corpus cutting(root, "fuzz_decode_cutting");
    streamSeeds(cutting);
    Corpus journal(root, "fuzz_journal_read");
    journalSeeds(journal);
    Corpus backlog(root, "fuzz_backlog_read");
    backlogSeeds(backlog);
    Corpus registry(root, "fuzz_registry");
    registrySeeds(registry);
    return 0;
}
