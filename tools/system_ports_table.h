// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

namespace clampmeter::cli {

/// The machine's serial ports as `clampmeter-cli ports` lists them, the one at `bridgePort`
/// (empty: none) marked: the ttys with their drivers on Linux, the serial device map's
/// entries on Windows. A line saying so when the list cannot be read.
std::string systemPortsTable(const std::string& bridgePort);

} // namespace clampmeter::cli
