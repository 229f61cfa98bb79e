// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "log/log_clock.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

namespace clampmeter::cli {

/// Where the log's lines go. Every line is handed to the system whole, at once, so that
/// whatever ends the logger loses at most the line being written.
class LogOutput {
public:
    LogOutput() = default;
    LogOutput(const LogOutput&) = delete;
    LogOutput& operator=(const LogOutput&) = delete;
    virtual ~LogOutput() = default;

    /// Gets ready before the first reading: opens the file for `instant` and writes the
    /// header where it is due. False when that failed.
    virtual bool open(const LogInstant& instant) = 0;

    /// Writes one line (with its line end) of a reading taken at `instant`; false once the
    /// output has failed.
    virtual bool write(const LogInstant& instant, std::string_view line) = 0;

    /// One line for the user once open() or write() returned false.
    virtual std::string failure() const = 0;

    /// The run ends before its first reading (the bridge could not be opened): a file that
    /// open() made new and that holds nothing but the header goes again, so that a failed
    /// start leaves no empty log behind. A file that was there before stays as it is.
    virtual void abandonUnused() { }
};

/// A stream such as standard output. The header (may be empty) goes first when
/// `writeHeader` is set; each line is flushed at once.
std::unique_ptr<LogOutput> streamLogOutput(
    std::ostream& out, std::string_view header, bool writeHeader);

/// Nowhere: the readings go to the broker alone.
std::unique_ptr<LogOutput> noLogOutput();

/// Files named by `pattern` with strftime fields (see logFileName()): a line goes to the file
/// named for its time, so a new day's name starts a new file. Files are only ever appended
/// to, never truncated; the header goes into a file that is new or empty. A file whose last
/// line was cut short (a power cut) gets a line end first, so the next line stands on its
/// own. A regular file is synced to the disk after each line.
std::unique_ptr<LogOutput> fileLogOutput(std::string pattern, std::string_view header);

} // namespace clampmeter::cli
