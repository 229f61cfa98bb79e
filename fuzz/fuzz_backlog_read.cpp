// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The readings waiting for a broker, read back from files of any bytes, as a crash, a power
// cut or a hand may leave them: the input's first line is the record of what was
// acknowledged, its second the record of the numbers reserved, the rest the newest file of
// readings. Opening never fails over them, what it hands out is in the order of its numbers
// and as many as it says are waiting, and the next reading gets a number beyond all of them.

#include "fuzz_check.h"
#include "mqtt/reading_backlog.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

using namespace clampmeter;
using fuzz::check;
namespace fs = std::filesystem;

std::string_view takeLine(std::string_view& rest)
{
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    return line;
}

void writeFile(const fs::path& path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fs::path folder
        = fs::temp_directory_path() / ("clampmeter-fuzz-backlog-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    writeFile(folder / "acknowledged", takeLine(rest));
    writeFile(folder / "reserved", takeLine(rest));
    writeFile(folder / "00000000000000000001.readings", rest);

    std::string problem;
    auto backlog = ReadingBacklog::open(folder, ReadingBacklog::kDefaultLimit, problem);
    check(backlog != nullptr, "a backlog of any bytes opens");
    const std::uint64_t waiting = backlog->waiting();
    std::uint64_t taken = 0;
    std::uint64_t last = 0;
    while (const auto reading = backlog->take()) {
        check(reading->seq > last, "readings go out in the order of their numbers");
        check(reading->seq < backlog->nextSeq(), "the next number is beyond every reading");
        last = reading->seq;
        ++taken;
        check(taken <= waiting, "no more go out than are waiting");
    }
    check(taken == waiting, "every reading said to wait goes out");
    const std::uint64_t next = backlog->nextSeq();
    check(backlog->append("{\"seq\":0}") || !backlog->failure().empty(), "a failure says why");
    const auto appended = backlog->take();
    check(appended && appended->seq == next, "the new reading goes next, under its number");
    backlog->acknowledge(next);
    check(backlog->waiting() == waiting, "its acknowledgement settles it alone");
    return 0;
}
