// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli_commands.h"

#include <ostream>

namespace clampmeter::cli {

const std::string_view kDecodeHelp = "clampmeter-cli decode [FILE]\n    (not yet available)\n";

int runDecode(std::span<const std::string_view>, std::istream&, std::ostream&, std::ostream& err)
{
    err << "clampmeter-cli decode: not yet available\n";
    return 1;
}

} // namespace clampmeter::cli
