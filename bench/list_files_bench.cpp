// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The text report and the export of a full store (50000 records) written through the real
// QSaveFile output into a temporary folder, against the same bytes written in one piece.
// Target: each writer within 2 x the one-piece write through the same QSaveFile output.

#include "list/export_writer.h"
#include "list/text_report_writer.h"
#include "platform/qt_output_files.h"

#include <QFile>
#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace clampmeter {
namespace {

namespace fs = std::filesystem;

class FixedClock final : public CaptureClock {
public:
    CaptureTime now() override { return {"10/12/26", "14:03:07"}; }
};

/// Keeps everything written, to prepare the bytes of the one-piece write.
class MemoryFile final : public OutputFile {
public:
    bool write(std::string_view bytes) override
    {
        content.append(bytes);
        return true;
    }
    bool commit() override { return true; }
    std::string errorText() const override { return {}; }

    std::string content;
};

/// A full store of readings as the meter sends them: all seven functions, a few "OL" and
/// "----", and records without a function entry.
std::unique_ptr<VarModule> fullStore()
{
    struct Function {
        const char* fun;
        const char* unit;
    };
    const std::array<Function, 8> functions {
        {{"FUN_VAC", "v"}, {"FUN_AAC", "A"}, {"FUN_KW", "kw"}, {"FUN_KVA", "kVA"},
            {"FUN_KVAR", "kVAR"}, {"FUN_COS", "PF"}, {"FUN_ENERGY", "kwh"}, {"", "kwh"}}};
    auto vars = std::make_unique<VarModule>();
    for (std::int32_t i = 0; i < kMaxRecords; ++i) {
        DataRecord& record = vars->DataRecords[static_cast<std::size_t>(i)];
        const Function& function = functions[static_cast<std::size_t>(i) % functions.size()];
        record.No = i + 1;
        record.FunText = function.fun;
        record.UnitText = function.unit;
        if (function.fun[0] == '\0')
            record.DataText.clear();
        else if (i % 97 == 0)
            record.DataText = "OL";
        else if (i % 89 == 0)
            record.DataText = "----";
        else
            record.DataText = std::to_string(100 + i % 500) + "." + std::to_string(i % 10);
        record.DateText = "10/12/26";
        const int seconds = i / 2;
        std::array<char, 16> time {};
        std::snprintf(time.data(), time.size(), "%02d:%02d:%02d", 8 + seconds / 3600 % 12,
            seconds / 60 % 60, seconds % 60);
        record.TimeText = time.data();
        record.StampText = record.DateText + "\\" + record.TimeText;
    }
    vars->DataCount = kMaxRecords;
    return vars;
}

/// A fresh folder below the system's temporary folder, removed with everything in it.
class BenchFolder {
public:
    BenchFolder()
    {
        std::string name = (fs::temp_directory_path() / "clampmeter-bench-XXXXXX");
        if (::mkdtemp(name.data()) == nullptr)
            throw std::runtime_error("cannot make a temporary folder");
        m_path = name;
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;
    ~BenchFolder() { fs::remove_all(m_path); }

    std::string file(const char* name) const { return (m_path / name).string(); }

private:
    fs::path m_path;
};

const VarModule& store()
{
    static const std::unique_ptr<VarModule> vars = fullStore();
    return *vars;
}

enum class Format { Report, Export };

bool writeFormat(Format format, OutputFile& file)
{
    FixedClock clock;
    return format == Format::Report ? writeTextReport(store(), clock, file)
                                    : writeExport(store(), file);
}

const std::string& preparedBytes(Format format)
{
    static const auto prepare = [](Format f) {
        MemoryFile memory;
        writeFormat(f, memory);
        return memory.content;
    };
    static const std::string report = prepare(Format::Report);
    static const std::string csv = prepare(Format::Export);
    return format == Format::Report ? report : csv;
}

/// The writer, through the program's own output: chunked writes, then the commit.
void BM_Writer(benchmark::State& state, Format format)
{
    const BenchFolder folder;
    QtOutputFiles files;
    for (auto _ : state) {
        const std::unique_ptr<OutputFile> file = files.create(folder.file("out.txt"));
        if (!writeFormat(format, *file) || !file->commit())
            state.SkipWithError(file->errorText().c_str());
    }
    state.SetBytesProcessed(
        state.iterations() * static_cast<std::int64_t>(preparedBytes(format).size()));
}

/// The writer's text alone, into memory: the part that is ours.
void BM_WriterToMemory(benchmark::State& state, Format format)
{
    for (auto _ : state) {
        MemoryFile memory;
        memory.content.reserve(preparedBytes(format).size());
        writeFormat(format, memory);
        benchmark::DoNotOptimize(memory.content.data());
    }
    state.SetBytesProcessed(
        state.iterations() * static_cast<std::int64_t>(preparedBytes(format).size()));
}

/// Yardstick: the prepared bytes in one write through the same QSaveFile output (its
/// commit syncs the file to disk and renames it).
void BM_OneWriteSavedFile(benchmark::State& state, Format format)
{
    const BenchFolder folder;
    QtOutputFiles files;
    const std::string& bytes = preparedBytes(format);
    for (auto _ : state) {
        const std::unique_ptr<OutputFile> file = files.create(folder.file("out.txt"));
        if (!file->write(bytes) || !file->commit())
            state.SkipWithError(file->errorText().c_str());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

/// Yardstick: the prepared bytes in one QFile::write, truncating the file in place (no sync,
/// no rename).
void BM_OneWriteQFile(benchmark::State& state, Format format)
{
    const BenchFolder folder;
    const std::string& bytes = preparedBytes(format);
    for (auto _ : state) {
        QFile file(QString::fromStdString(folder.file("out.txt")));
        if (!file.open(QIODevice::WriteOnly)
            || file.write(bytes.data(), static_cast<qint64>(bytes.size()))
                != static_cast<qint64>(bytes.size()))
            state.SkipWithError("cannot write");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

BENCHMARK_CAPTURE(BM_Writer, Report, Format::Report)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OneWriteSavedFile, Report, Format::Report)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OneWriteQFile, Report, Format::Report)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriterToMemory, Report, Format::Report)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Writer, Export, Format::Export)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OneWriteSavedFile, Export, Format::Export)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OneWriteQFile, Export, Format::Export)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriterToMemory, Export, Format::Export)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace clampmeter
