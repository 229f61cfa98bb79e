// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "list/output_file.h"
#include "shared/var_module.h"

#include <span>
#include <string_view>

namespace clampmeter {

inline constexpr std::string_view kExportHeader = "NO.;FUN;DATA;UNIT;Time;Date";

/// Writes the semicolon-separated export of every stored record, record 1 first, straight
/// from the store: the header line, then " n;FunText;DataText;UnitText;TimeText;DateText"
/// per record, every line ending in CR LF. No field is quoted. DataCount is read once,
/// after the header.
///
/// Returns false at the first failed write, writing nothing further. Does not commit.
bool writeExport(const VarModule& vars, OutputFile& file);

/// The same export of the given records, in the order given (a session journal's).
bool writeExport(std::span<const DataRecord> records, OutputFile& file);

} // namespace clampmeter
