// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace clampmeter::cli {

/// The name of the log file for a local time: `pattern` with its strftime fields filled in
/// ("energy-%Y-%m-%d.csv" → "energy-2026-12-10.csv", "%%" → "%"). A pattern without "%" is
/// the name itself. Empty when the fields give no name at all (a pattern of "%p" in a
/// locale without AM/PM) or one longer than any path.
std::string logFileName(std::string_view pattern, const std::tm& local);

} // namespace clampmeter::cli
