// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The registry access class over the SQLite store: counting the sub-keys of a key that has
// many, and deleting that key with all of them. Each deletion works on a fresh copy of a
// prepared store file; the copy is not timed.

#include "registry/c_do_reg.h"
#include "registry/sqlite_registry_store.h"

#include "temp_folder.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>

namespace clampmeter {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBranch = "Bench.exe";

/// A temporary folder holding one prepared store file per branch size, removed at exit.
class PreparedStores {
public:
    /// A store file whose key kBranch has `subKeys` sub-keys, each with one value.
    const fs::path& withSubKeys(int subKeys)
    {
        auto found = m_files.find(subKeys);
        if (found != m_files.end())
            return found->second;
        const fs::path file = m_folder.path() / ("prepared-" + std::to_string(subKeys) + ".sqlite");
        SqliteRegistryStore store(file);
        const CDoReg reg(store);
        for (int i = 0; i < subKeys; ++i) {
            const std::string name = std::string(kBranch) + "\\Sub" + std::to_string(i);
            if (reg.CreatKeyLG(name) != -1 || !reg.SetLongValueLG(name, "N", i))
                throw std::runtime_error("cannot prepare the store");
        }
        return m_files.emplace(subKeys, file).first->second;
    }

    fs::path scratch() const { return m_folder.path() / "scratch.sqlite"; }

private:
    TempFolder m_folder;
    std::map<int, fs::path> m_files;
};

PreparedStores& preparedStores()
{
    static PreparedStores stores;
    return stores;
}

void BM_SubKeyCount(benchmark::State& state)
{
    const int subKeys = static_cast<int>(state.range(0));
    SqliteRegistryStore store(preparedStores().withSubKeys(subKeys));
    const CDoReg reg(store);
    for (auto _ : state) {
        if (reg.SubKeyCount(kBranch) != subKeys)
            state.SkipWithError("wrong count");
    }
}
BENCHMARK(BM_SubKeyCount)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

void BM_DeleteKeyWithSubKeys(benchmark::State& state)
{
    const int subKeys = static_cast<int>(state.range(0));
    PreparedStores& stores = preparedStores();
    const fs::path& prepared = stores.withSubKeys(subKeys);
    for (auto _ : state) {
        state.PauseTiming();
        fs::copy_file(prepared, stores.scratch(), fs::copy_options::overwrite_existing);
        {
            SqliteRegistryStore store(stores.scratch());
            const CDoReg reg(store);
            // The first use reads the schema: done before the clock runs again.
            if (!reg.IsExistKeyLG(kBranch))
                state.SkipWithError("prepared key missing");
            state.ResumeTiming();
            if (!reg.DeleteKeyLG(kBranch) || reg.IsExistKeyLG(kBranch))
                state.SkipWithError("key not deleted");
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteKeyWithSubKeys)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace clampmeter

BENCHMARK_MAIN();
