// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace clampmeter::cli {

/// Each command gets the arguments after its name and returns the process exit code:
/// 0 success, 1 a run-time failure, 2 a usage error or unreadable input.
int runDecode(
    std::span<const std::string_view> args, std::istream& in, std::ostream& out, std::ostream& err);
int runSimulate(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);
int runLog(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);
int runPorts(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);
int runJournal(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

/// One paragraph per command for --help.
extern const std::string_view kDecodeHelp;
extern const std::string_view kSimulateHelp;
extern const std::string_view kLogHelp;
extern const std::string_view kPortsHelp;
extern const std::string_view kJournalHelp;

} // namespace clampmeter::cli
