// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// `clampmeter-cli decode` on any byte stream, against a plain reading of its cutting rule:
// candidates of 17 bytes back to back from the start; after a rejected one, the next
// candidate starts at the next 68 68 after its offset; fewer than 17 bytes at the end are
// left. Every candidate must come out once, in order, as accepted or with its offset.

#include "cli_commands.h"
#include "fuzz_check.h"
#include "link/measurement_frame.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace clampmeter;
using fuzz::check;

/// One output line the rule expects: an accepted frame's main text, or a rejected offset.
struct Expected {
    bool accepted;
    std::size_t offset;
};

std::vector<Expected> cutByTheRule(const std::uint8_t* data, std::size_t size)
{
    std::vector<Expected> lines;
    auto isHeaderAt = [&](std::size_t at) {
        return at + 1 < size && data[at] == kFrameHeader && data[at + 1] == kFrameHeader;
    };
    std::size_t at = 0;
    while (at + kFrameSize <= size) {
        if (isHeaderAt(at)) {
            lines.push_back({true, at});
            at += kFrameSize;
            continue;
        }
        lines.push_back({false, at});
        std::size_t next = at + 1;
        while (next < size && !isHeaderAt(next))
            ++next;
        at = next;
    }
    return lines;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream out;
    std::ostringstream err;
    const std::string_view dash = "-";
    const int code = cli::runDecode(std::span(&dash, 1), in, out, err);
    check(code == 0, "decode failed on a stream in memory");

    const std::vector<Expected> expected = cutByTheRule(data, size);
    const std::vector<std::string> printed = lines(out.str());
    check(printed.size() == expected.size(), "not one line per candidate");
    for (std::size_t i = 0; i < printed.size(); ++i) {
        const Expected& e = expected[i];
        if (!e.accepted) {
            check(printed[i] == R"({"accepted":false,"offset":)" + std::to_string(e.offset) + "}",
                "a rejected candidate at the wrong offset");
            continue;
        }
        check(printed[i].starts_with(R"({"accepted":true)"), "an accepted candidate not accepted");
        const MeasurementFrame frame = decodeFrame(FrameBytes(data + e.offset, kFrameSize));
        const std::string main = R"("main":")" + frame.MainText + "\"";
        check(frame.function == nullptr || printed[i].find(main) != std::string::npos,
            "an accepted candidate decoded from other bytes");
    }
    return 0;
}
