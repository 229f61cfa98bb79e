// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <string>

namespace clampmeter::cli {

/// Whether standard input or output is a terminal (a console on Windows).
bool standardInputIsTerminal();
bool standardOutputIsTerminal();

/// Whether standard error is a terminal that can keep a status line in place (on Windows a
/// console, which is asked here to take the terminal's escape sequences).
bool standardErrorIsTerminal();

/// The width in columns of the terminal standard error writes to; 0 when it does not say.
std::size_t standardErrorColumns();

/// Whether standard output is a file on a disk that already holds something (`>> log.csv`).
bool standardOutputIsNonEmptyFile();

/// Whether the serial device `path` is there (a COM port's name such as COM3 on Windows).
bool serialDeviceExists(const std::string& path);

/// Whether the file at `path` is a terminal or a serial line (a live line, not a capture).
/// False when it cannot be opened.
bool pathIsTerminal(const std::string& path);

} // namespace clampmeter::cli
