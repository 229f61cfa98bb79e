// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// log and ports in a build without Qt: they run the program's serial link, which needs Qt Core
// (and on Linux Qt SerialPort), so here they only say so.

#include "cli_commands.h"

#include <ostream>

namespace clampmeter::cli {

namespace {

#define CLAMPMETER_LINK_ABSENT_REASON "it needs Qt"

int notAvailable(std::string_view command, std::ostream& err)
{
    err << "clampmeter-cli: " << command
        << " is not available in this build (" CLAMPMETER_LINK_ABSENT_REASON ")\n";
    return 1;
}

} // namespace

const std::string_view kLogHelp
    = "clampmeter-cli log\n"
      "    Not available in this build (" CLAMPMETER_LINK_ABSENT_REASON ").\n";
const std::string_view kPortsHelp
    = "clampmeter-cli ports\n"
      "    Not available in this build (" CLAMPMETER_LINK_ABSENT_REASON ").\n";

int runLog(std::span<const std::string_view>, std::ostream&, std::ostream& err)
{
    return notAvailable("log", err);
}

int runPorts(std::span<const std::string_view>, std::ostream&, std::ostream& err)
{
    return notAvailable("ports", err);
}

} // namespace clampmeter::cli
