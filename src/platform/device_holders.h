// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <vector>

namespace clampmeter {

/// The processes that hold the device file `path` open, as "NAME (process PID)", from the
/// system's process table (Linux: /proc/PID/fd). Only what this user may see: every process
/// for root, else this user's own. Empty when none is seen, or where there is no such table.
std::vector<std::string> processesHoldingDevice(const std::string& path);

} // namespace clampmeter
