// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/capture_clock.h"
#include "list/output_file.h"
#include "shared/var_module.h"

#include <span>
#include <string_view>

namespace clampmeter {

inline constexpr std::string_view kReportTitle = "KR-709W Data Report";

/// Writes the text report of every stored record, record 1 first, straight from the store.
///
/// Line 1 holds the title and the date and time of saving (one clock reading), line 2 is
/// empty, then one line per record: its number as " n ", FunText, DataText, UnitText and
/// StampText. Items sit in print zones (PrintZoneLine); lines end in CR LF, and nothing
/// follows the last record line. DataCount is read once, when the record lines begin.
///
/// Returns false at the first failed write, writing nothing further. Does not commit.
bool writeTextReport(const VarModule& vars, CaptureClock& clock, OutputFile& file);

/// The same report of the given records, in the order given (a session journal's).
bool writeTextReport(std::span<const DataRecord> records, CaptureClock& clock, OutputFile& file);

} // namespace clampmeter
