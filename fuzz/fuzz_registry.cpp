// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The registry access class over its SQLite store with names, value names and data of any
// bytes (zero bytes, backslashes, 300-byte names, mixed case): no crash, every key it opens
// is closed again, and nothing outside its branch changes — neither a neighbour of the
// branch nor the branch key itself.

#include "counting_store.h"
#include "fuzz_check.h"
#include "registry/c_do_reg.h"
#include "registry/sqlite_registry_store.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace clampmeter;
using fuzz::check;

const std::string kParent = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\)";
const std::string kBranch = kParent + "App Paths";
/// Keys outside the branch that the class must never reach.
const std::string kOutside[] = {kParent + "Sentinel", kParent + "App PathsX", kParent + "App"};

/// A name or text of 0 … 319 bytes (its length, then its bytes): long enough to pass the 255 of one
/// level.
std::string text(fuzz::ByteReader& input)
{
    std::size_t length = input.byte();
    if (length >= 200)
        length = 200 + (length - 200) * 4;
    return input.text(length);
}

void writeMark(RegistryStore& store, const std::string& path)
{
    RegKey key = 0;
    check(store.createKey(kHKeyLocalMachine, path, key) == kErrorSuccess, "cannot make a mark");
    const std::uint8_t mark[] = {'k', 'e', 'p', 't', 0};
    check(store.setValue(key, "mark", kRegSz, mark) == kErrorSuccess, "cannot write a mark");
    store.closeKey(key);
}

bool markIsThere(RegistryStore& store, const std::string& path)
{
    RegKey key = 0;
    if (store.openKey(kHKeyLocalMachine, path, key) != kErrorSuccess)
        return false;
    std::uint8_t buffer[8] = {};
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    const RegResult read = store.queryValue(key, "mark", type, buffer, size);
    store.closeKey(key);
    return read == kErrorSuccess && type == kRegSz && size == 5
        && std::string(reinterpret_cast<char*>(buffer)) == "kept";
}

RegVariant variant(fuzz::ByteReader& input)
{
    switch (input.byte() % 4) {
    case 0:
        return {};
    case 1:
        return text(input);
    case 2:
        return static_cast<std::int32_t>((std::uint32_t {input.byte()} << 24) | input.byte());
    default:
        return static_cast<double>(input.byte()) / 3.0;
    }
}

void runOne(const CDoReg& reg, fuzz::ByteReader& input)
{
    const std::string name = text(input);
    switch (input.byte() % 9) {
    case 0:
        reg.CreatKeyLG(name);
        break;
    case 1:
        reg.SetKeyValueLG(name, text(input), input.byte() % 6, variant(input));
        break;
    case 2:
        reg.GetKeyValueLG(name, text(input));
        break;
    case 3:
        reg.DeleteKeyLG(name);
        break;
    case 4:
        reg.DeleteKeyValueLG(name, text(input));
        break;
    case 5:
        reg.IsExistKeyLG(name);
        break;
    case 6:
        reg.SubKeyCount(name);
        break;
    case 7:
        reg.SetStringValueLG(name, text(input), text(input));
        break;
    default:
        reg.SetLongValueLG(name, text(input), static_cast<std::int32_t>(input.byte()) - 128);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A database per input, in memory where the system offers a memory file system.
    static const std::filesystem::path file
        = (std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                     : std::filesystem::temp_directory_path())
        / ("clampmeter-fuzz-registry-" + std::to_string(getpid()) + ".db");
    std::filesystem::remove(file);
    {
        SqliteRegistryStore sqlite(file);
        for (const std::string& path : kOutside)
            writeMark(sqlite, path);
        writeMark(sqlite, kBranch);
        CountingStore store(sqlite);
        const CDoReg reg(store);
        fuzz::ByteReader input(data, size);
        for (int step = 0; !input.done() && step < 64; ++step) {
            runOne(reg, input);
            check(store.openKeys().empty(), "a key was left open");
        }
        for (const std::string& path : kOutside)
            check(markIsThere(sqlite, path), "a key outside the branch changed");
        check(markIsThere(sqlite, kBranch), "the branch key itself changed");
    }
    std::filesystem::remove(file);
    return 0;
}
