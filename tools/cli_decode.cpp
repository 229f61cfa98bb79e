// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "checked_output.h"
#include "cli_commands.h"
#include "reading_json.h"
#include "terminals.h"

#include "link/measurement_frame.h"
#include "shared/counted_noun.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ios>
#include <iostream>
#include <optional>
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
      "    Bytes left over at the end, fewer than a frame, are ignored. A live line (a\n"
      "    serial device or pseudo-terminal such as /dev/pts/3, as FILE or on standard\n"
      "    input) is decoded as its bytes come, until it goes away (hangs up): the lines\n"
      "    decoded so far stay printed and standard error says after how many bytes.\n"
      "    Exit codes: 0 the input ended, 1 the live line went away, a read failed\n"
      "    part-way or the output could not be written (a full disk), 2 bad options or\n"
      "    input that cannot be read at all.\n";

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

std::string acceptedLine(FrameBytes bytes)
{
    return readingJson(decodeFrame(bytes)) + '\n';
}

std::string rejectedLine(std::uint64_t offset)
{
    return R"({"accepted":false,"offset":)" + std::to_string(offset) + "}\n";
}

// A live line (a serial device, a pseudo-terminal) has no end of its own: its input ends
// only when the line goes away, and that is reported. A file or a pipe simply ends.
enum class InputKind : std::uint8_t { Capture, LiveLine };

// How reading ended: after how many bytes, the reason when a read failed, and whether the
// output failed (which ends the decode at once: nothing could show its lines).
struct ReadEnd {
    std::uint64_t bytesRead = 0;
    std::optional<std::string> failure;
    bool outputFailed = false;
};

// Reads straight from the stream buffer, with no sentry per byte. A failed read there (a
// live line that hangs up, a directory) throws instead of setting the stream's badbit.
ReadEnd decodeStream(std::istream& in, CheckedOutput& output)
{
    CandidateCutter cutter;
    std::streambuf* const source = in.rdbuf();
    ReadEnd end;
    bool unflushed = false;
    try {
        while (!end.outputFailed) {
            // Lines reach a reader of a live capture before the next wait for bytes.
            if (unflushed && source->in_avail() <= 0) {
                end.outputFailed = !output.flush();
                unflushed = false;
            }
            const auto c = source->sbumpc();
            if (std::char_traits<char>::eq_int_type(c, std::char_traits<char>::eof()))
                break;
            ++end.bytesRead;
            cutter.push(static_cast<std::uint8_t>(std::char_traits<char>::to_char_type(c)),
                [&](FrameBytes candidate, bool accepted, std::uint64_t offset) {
                    end.outputFailed = end.outputFailed
                        || !output.write(accepted ? acceptedLine(candidate) : rejectedLine(offset));
                    unflushed = true;
                });
        }
    } catch (const std::ios_base::failure& failure) {
        end.failure = failure.code().message();
    }
    end.outputFailed = !output.flush() || end.outputFailed;
    return end;
}

// Decodes all of `in`; `name` says in messages which input it is.
int decodeInput(
    std::istream& in, InputKind kind, std::string_view name, std::ostream& out, std::ostream& err)
{
    CheckedOutput output(out);
    const ReadEnd end = decodeStream(in, output);
    if (end.outputFailed) {
        err << kCommand << ": " << output.failure() << '\n';
        return 1;
    }
    if (kind == InputKind::LiveLine) {
        // A hang-up ends the input or fails the read, depending on whether the read was
        // already waiting for bytes at that moment; either way the line has gone.
        err << kCommand << ": " << name << " went away after "
            << countedNoun(end.bytesRead, "byte", "bytes") << '\n';
        return 1;
    }
    if (!end.failure)
        return 0;
    if (end.bytesRead == 0) {
        err << kCommand << ": cannot read " << name << ": " << *end.failure << '\n';
        return 2;
    }
    err << kCommand << ": reading " << name << " stopped after "
        << countedNoun(end.bytesRead, "byte", "bytes") << ": " << *end.failure << '\n';
    return 1;
}

InputKind kindOfPath(const std::string& path)
{
    return pathIsTerminal(path) ? InputKind::LiveLine : InputKind::Capture;
}

} // namespace

int runDecode(
    std::span<const std::string_view> args, std::istream& in, std::ostream& out, std::ostream& err)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h"))
        return writeText(kCommand, kDecodeHelp, out, err);
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
        const bool terminal = &in == &std::cin && standardInputIsTerminal();
        return decodeInput(
            in, terminal ? InputKind::LiveLine : InputKind::Capture, "standard input", out, err);
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
    // Checked once the file is open: the check's close is then not the device's last close,
    // which would hang up a serial line.
    return decodeInput(file, kindOfPath(path), "'" + path + "'", out, err);
}

} // namespace clampmeter::cli
