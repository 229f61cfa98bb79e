// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// clampmeter-cli: tools for people who capture their meter's line or have no meter.

#include "checked_output.h"
#include "cli_commands.h"
#include "shared/version.h"

#include <iostream>
#include <string>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#include <string_view>
#include <vector>

namespace {

std::string helpText()
{
    return "Usage: clampmeter-cli COMMAND [OPTIONS]\n"
           "\n"
           "Tools for the clamp meter's serial line.\n"
           "\n"
        + std::string(clampmeter::cli::kSimulateHelp) + "\n"
        + std::string(clampmeter::cli::kDecodeHelp) + "\n" + std::string(clampmeter::cli::kLogHelp)
        + "\n" + std::string(clampmeter::cli::kPortsHelp) + "\n"
        + std::string(clampmeter::cli::kJournalHelp) + "\n"
        + "clampmeter-cli --help\n"
          "    Show this text.\n"
          "\n"
          "clampmeter-cli --version\n"
          "    Show the version.\n";
}

// What a bare clampmeter-cli says: the commands in a line each, and where the rest is.
constexpr std::string_view kShortUsage
    = "Usage: clampmeter-cli COMMAND [OPTIONS]\n"
      "\n"
      "  simulate   a simulated meter's frames, on a pseudo-terminal, a port or stdout\n"
      "  decode     a capture of the meter's line, one reading a line\n"
      "  log        every reading of the meter to files or an MQTT broker, for days\n"
      "  ports      the serial ports, the meter's bridge and whether it opens\n"
      "  journal    the program's session journals, listed and exported\n"
      "\n"
      "clampmeter-cli --help shows every command's options; clampmeter-cli --version.\n";

int runCommand(const std::vector<std::string_view>& args)
{
    if (args.empty()) {
        std::cerr << kShortUsage;
        return 2;
    }
    const std::string_view command = args.front();
    const std::span<const std::string_view> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help")
        return clampmeter::cli::writeText("clampmeter-cli", helpText(), std::cout, std::cerr);
    if (command == "--version")
        return clampmeter::cli::writeText("clampmeter-cli",
            "clampmeter-cli " + std::string(clampmeter::kVersion) + "\n", std::cout, std::cerr);
    if (command == "decode")
        return clampmeter::cli::runDecode(rest, std::cin, std::cout, std::cerr);
    if (command == "simulate")
        return clampmeter::cli::runSimulate(rest, std::cout, std::cerr);
    if (command == "log")
        return clampmeter::cli::runLog(rest, std::cout, std::cerr);
    if (command == "ports")
        return clampmeter::cli::runPorts(rest, std::cout, std::cerr);
    if (command == "journal")
        return clampmeter::cli::runJournal(rest, std::cout, std::cerr);
    std::cerr << "clampmeter-cli: unknown command '" << command << "' (try --help)\n";
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    // Captures are raw bytes: no newline translation, and no syncing with stdio, which
    // would make reading a piped capture a few times slower.
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::ios::sync_with_stdio(false);
    const int code = runCommand(std::vector<std::string_view>(argv + 1, argv + argc));
    // What is still buffered (a help text) reaches the output only now.
    clampmeter::cli::CheckedOutput output(std::cout);
    if (!output.flush() && code == 0) {
        std::cerr << "clampmeter-cli: " << output.failure() << '\n';
        return 1;
    }
    return code;
}
