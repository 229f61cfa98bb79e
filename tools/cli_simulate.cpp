// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli_commands.h"

#include <ostream>

namespace clampmeter::cli {

const std::string_view kSimulateHelp = "clampmeter-cli simulate\n    (not yet available)\n";

int runSimulate(std::span<const std::string_view>, std::ostream&, std::ostream& err)
{
    err << "clampmeter-cli simulate: not yet available\n";
    return 1;
}

} // namespace clampmeter::cli
