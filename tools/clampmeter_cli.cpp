// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// clampmeter-cli: tools for people who capture their meter's line or have no meter.

#include "cli_commands.h"

#include <iostream>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#include <string_view>
#include <vector>

namespace {

void printHelp(std::ostream& out)
{
    out << "Usage: clampmeter-cli COMMAND [OPTIONS]\n"
           "\n"
           "Tools for the clamp meter's serial line.\n"
           "\n"
        << clampmeter::cli::kSimulateHelp << "\n"
        << clampmeter::cli::kDecodeHelp << "\n"
        << "clampmeter-cli --help\n"
           "    Show this text.\n";
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
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty()) {
        printHelp(std::cerr);
        return 2;
    }
    const std::string_view command = args.front();
    const std::span<const std::string_view> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        printHelp(std::cout);
        return 0;
    }
    if (command == "decode")
        return clampmeter::cli::runDecode(rest, std::cin, std::cout, std::cerr);
    if (command == "simulate")
        return clampmeter::cli::runSimulate(rest, std::cout, std::cerr);
    std::cerr << "clampmeter-cli: unknown command '" << command << "' (try --help)\n";
    return 2;
}
