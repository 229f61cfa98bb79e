// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace clampmeter::cli {

/// The name of the log file for a local time: `pattern` with its strftime fields filled in
/// ("energy-%Y-%m-%d.csv" → "energy-2026-12-10.csv", "%%" → "%"). A pattern without "%" is
/// the name itself. Empty when the fields give no name at all (a pattern of "%p" in a
/// locale without AM/PM), one longer than any path, or a field the system does not know.
std::string logFileName(std::string_view pattern, const std::tm& local);

/// `pattern` with the fields that C99 and POSIX added to strftime written in those of C89,
/// which every C library knows (Windows' own runtime knows no others): "%F" → "%Y-%m-%d",
/// "%T" → "%H:%M:%S", "%e" → "%#d"; the week-based year and week ("%G", "%g", "%V"), "%u"
/// and "%C" as their digits for `local`, "%n" and "%t" as their characters, and the "E" and
/// "O" modifiers dropped. Nothing when it holds a field that is not strftime's.
std::optional<std::string> basicTimeFields(std::string_view pattern, const std::tm& local);

} // namespace clampmeter::cli
