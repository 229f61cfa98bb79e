// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace clampmeter {

/// The rules for reading the files a run leaves in its state folders (session journals, the
/// readings waiting for a broker), which a crash, a power cut or a hand may have damaged or
/// replaced: only a regular file is ever opened, never through a symbolic link, and never in
/// a way that could wait (a FIFO) or end the program (a read error is a result).

/// Why `path` is no file to read or write: "is a directory", "is a FIFO", "is a symbolic
/// link", "is a device"…; empty when it is a regular file or missing.
std::string notARegularFile(const std::filesystem::path& path);

/// A regular file read line by line, each line at most a limit long; a longer one is
/// passed over whole and told as such.
class StateFileLines {
public:
    enum class Result {
        Line, ///< a whole line, without its line end, is in line()
        TooLong, ///< a line longer than the limit was passed over
        /// The file ends, for now, in a line without a line end (in line(), if not too long);
        /// a later next() reads it again with what was appended since.
        Unfinished,
        End, ///< nothing more for now: a later next() reads what is appended since
        Failed, ///< see errorText()
    };

    StateFileLines() = default;
    ~StateFileLines();
    StateFileLines(const StateFileLines&) = delete;
    StateFileLines& operator=(const StateFileLines&) = delete;

    /// Opens a regular file for reading; false with errorText() otherwise.
    bool open(const std::filesystem::path& path, std::size_t longestLine);
    void close();
    bool isOpen() const { return m_fd >= 0; }

    Result next();
    const std::string& line() const { return m_line; }
    /// Where the line last returned began, in bytes from the file's start.
    std::size_t lineOffset() const { return m_lineOffset; }
    const std::string& errorText() const { return m_error; }

private:
    bool fill(bool& gotMore);

    int m_fd = -1;
    std::size_t m_longest = 0;
    std::string m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_bufferOffset = 0; ///< of m_buffer[0] in the file
    std::size_t m_lineOffset = 0;
    std::string m_line;
    std::string m_error;
};

/// A small record of one number in a file of its own, rewritten in place (never grown, so a
/// full disk still takes it) and synced: "every reading up to N", say. A record that does not
/// hold a plain number is damage: read() tells it apart from a missing one.
class NumberRecord {
public:
    enum class State { Missing, Damaged, Read };
    struct Reading {
        State state = State::Missing;
        unsigned long long value = 0;
        std::string problem; ///< for Damaged: what is wrong with it
    };

    /// Reads the record at `path` without opening anything but a regular file.
    static Reading read(const std::filesystem::path& path);
    /// Writes `value` over the record (made when missing) and syncs it; empty on success,
    /// else the system's reason.
    static std::string write(const std::filesystem::path& path, unsigned long long value);
};

} // namespace clampmeter
