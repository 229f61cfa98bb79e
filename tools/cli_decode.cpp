// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli_commands.h"

#include "link/measurement_frame.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>
#include <string>

namespace clampmeter::cli {

const std::string_view kDecodeHelp
    = "clampmeter-cli decode [FILE]\n"
      "    Decode a raw capture of the meter's serial line, read from FILE or, without FILE\n"
      "    or with \"-\", from standard input, byte for byte. Every 17 bytes from the start\n"
      "    are one candidate frame. An accepted frame (68 68 header) prints one JSON line:\n"
      "    accepted, fun, main, secondary, class, unit, secondaryClass, secondaryUnit, dial,\n"
      "    number, wiring, bat, mr, phase, mainValue, secondaryValue (captions and dial are\n"
      "    null for an unknown function code; the values are the frame's floats, null when\n"
      "    not finite). A rejected candidate prints {\"accepted\":false,\"offset\":N} with its\n"
      "    byte offset, and the next candidate starts at the next 68 68 after that offset.\n"
      "    Bytes left over at the end, fewer than a frame, are ignored. Exit code 2 when\n"
      "    FILE cannot be read.\n";

namespace {

constexpr std::string_view kCommand = "clampmeter-cli decode";

// Cuts a byte stream into candidate frames: back to back from the first byte, and after
// a rejected candidate from the next position where a 68 68 header begins.
class CandidateCutter {
public:
    template <typename OnCandidate> void push(std::uint8_t byte, OnCandidate&& onCandidate)
    {
        m_pending[m_size++] = byte;
        for (;;) {
            if (m_searching) {
                dropUntilHeader();
                if (m_size < 2)
                    return;
                m_searching = false;
            }
            if (m_size < kFrameSize)
                return;
            const FrameBytes candidate(m_pending.data(), kFrameSize);
            const bool accepted = isAcceptedFrame(candidate);
            onCandidate(candidate, accepted, m_offset);
            // The search starts right after the rejected candidate's first byte, so a
            // header inside the rejected bytes is found again.
            drop(accepted ? kFrameSize : 1);
            m_searching = !accepted;
        }
    }

private:
    void dropUntilHeader()
    {
        std::size_t i = 0;
        while (
            i + 1 < m_size && !(m_pending[i] == kFrameHeader && m_pending[i + 1] == kFrameHeader))
            ++i;
        // A lone last byte may still begin a header when the next byte arrives.
        if (i + 1 == m_size && m_pending[i] != kFrameHeader)
            ++i;
        drop(i);
    }

    void drop(std::size_t count)
    {
        std::memmove(m_pending.data(), m_pending.data() + count, m_size - count);
        m_size -= count;
        m_offset += count;
    }

    std::array<std::uint8_t, kFrameSize> m_pending {};
    std::size_t m_size = 0;
    std::uint64_t m_offset = 0; ///< stream offset of m_pending[0]
    bool m_searching = false;
};

void appendString(std::string& line, std::string_view text)
{
    static constexpr std::string_view kHex = "0123456789abcdef";
    line += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            line += '\\';
            line += c;
        } else if (byte < 0x20) {
            line += "\\u00";
            line += kHex[byte >> 4];
            line += kHex[byte & 0xF];
        } else {
            line += c;
        }
    }
    line += '"';
}

// Shortest text that reads back to the same 32-bit float; JSON has no NaN or infinity.
void appendFloat(std::string& line, float value)
{
    if (!std::isfinite(value)) {
        line += "null";
        return;
    }
    std::array<char, 32> text {};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    line.append(text.data(), result.ptr);
}

void appendKey(std::string& line, std::string_view key)
{
    line += line.empty() ? '{' : ',';
    appendString(line, key);
    line += ':';
}

void appendCaption(std::string& line, std::string_view key, const FunctionEntry* function,
    std::string_view FunctionEntry::*caption)
{
    appendKey(line, key);
    if (function == nullptr)
        line += "null";
    else
        appendString(line, function->*caption);
}

std::string acceptedLine(FrameBytes bytes)
{
    const MeasurementFrame frame = decodeFrame(bytes);
    const FunctionEntry* function = frame.function;
    std::string line;
    appendKey(line, "accepted");
    line += "true";
    appendKey(line, "fun");
    appendString(line, function == nullptr ? std::string_view() : function->id);
    appendKey(line, "main");
    appendString(line, frame.MainText);
    appendKey(line, "secondary");
    appendString(line, frame.SecondaryText);
    appendCaption(line, "class", function, &FunctionEntry::classCaption);
    appendCaption(line, "unit", function, &FunctionEntry::unitCaption);
    appendCaption(line, "secondaryClass", function, &FunctionEntry::secondaryClassCaption);
    appendCaption(line, "secondaryUnit", function, &FunctionEntry::secondaryUnitCaption);
    appendKey(line, "dial");
    line += function == nullptr ? "null" : std::to_string(function->dialPicture);
    appendKey(line, "number");
    appendString(line, frame.numberText);
    for (const auto& [key, on] : {std::pair {"wiring", frame.wiring}, std::pair {"bat", frame.bat},
             std::pair {"mr", frame.mr}}) {
        appendKey(line, key);
        line += on ? "true" : "false";
    }
    appendKey(line, "phase");
    if (frame.phase == Phase::None)
        line += "null";
    else
        appendString(line, phaseCaption(frame.phase));
    appendKey(line, "mainValue");
    appendFloat(line, frame.MainValue);
    appendKey(line, "secondaryValue");
    appendFloat(line, frame.SecondaryValue);
    line += "}\n";
    return line;
}

std::string rejectedLine(std::uint64_t offset)
{
    return R"({"accepted":false,"offset":)" + std::to_string(offset) + "}\n";
}

void decodeStream(std::istream& in, std::ostream& out)
{
    CandidateCutter cutter;
    std::streambuf* const source = in.rdbuf();
    bool unflushed = false;
    for (;;) {
        // Lines reach a reader of a live capture before the next wait for bytes.
        if (unflushed && source->in_avail() <= 0) {
            out.flush();
            unflushed = false;
        }
        const auto c = source->sbumpc();
        if (std::char_traits<char>::eq_int_type(c, std::char_traits<char>::eof()))
            break;
        cutter.push(static_cast<std::uint8_t>(std::char_traits<char>::to_char_type(c)),
            [&out, &unflushed](FrameBytes candidate, bool accepted, std::uint64_t offset) {
                out << (accepted ? acceptedLine(candidate) : rejectedLine(offset));
                unflushed = true;
            });
    }
    out.flush();
}

} // namespace

int runDecode(
    std::span<const std::string_view> args, std::istream& in, std::ostream& out, std::ostream& err)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kDecodeHelp;
        return 0;
    }
    if (args.size() == 1 && args[0].starts_with('-') && args[0] != "-") {
        err << kCommand << ": unknown option '" << args[0]
            << "' (try clampmeter-cli decode --help)\n";
        return 2;
    }
    if (args.size() > 1) {
        err << kCommand << ": expected at most one FILE (try clampmeter-cli decode --help)\n";
        return 2;
    }
    if (args.empty() || args[0] == "-") {
        decodeStream(in, out);
        return 0;
    }

    const std::string path(args[0]);
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        err << kCommand << ": cannot read '" << path << "': is a directory\n";
        return 2;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        const int error = errno;
        err << kCommand << ": cannot read '" << path
            << "': " << (error != 0 ? std::strerror(error) : "cannot be opened") << '\n';
        return 2;
    }
    decodeStream(file, out);
    return 0;
}

} // namespace clampmeter::cli
