// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string_view>

namespace clampmeter {

/// --help or --version among a program's arguments.
enum class InfoRequest { None, Help, Version };

/// The first of --help (-h, -?, --help-all) and --version (-v) among the arguments after the
/// program's name, up to a "--". The programs answer these before they create their
/// application object, so that the answer needs no display.
InfoRequest findInfoRequest(int argc, const char* const argv[]);

/// The first argument among those after the program's name that a program taking none but
/// --help and --version does not know; empty when there is none. Give it the arguments
/// left once the application object took Qt's own (-platform, -style, …).
std::string_view firstUnknownArgument(int argc, const char* const argv[]);

/// What `clampmeter --help` writes.
extern const std::string_view kProgramHelp;

/// Writes `text` to standard output; 0 when it got there, 1 when it did not.
int writeInfo(std::string_view text);

} // namespace clampmeter
