// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/page_printer.h"
#include "shared/var_module.h"

#include <string_view>

namespace clampmeter {

/// The list printout: records 1 … DataCount on portrait A4 pages, each with the title
/// "KR-6080 Data Report", the column headings, up to 36 rows (y 1600 to 15600, 400 apart)
/// and the footer "Page n   (date)" at y 16000. The page breaks right after a page's last
/// row, even after the last record. On a printer whose printable area is shorter than
/// 16400 twips the footer moves up to stay on the paper and a page holds fewer rows, so
/// that none is printed over the footer. `date` is today's date in the user's short date
/// format.
/// False, with the document left to the printer to discard, when the printer failed.
bool printList(const VarModule& vars, PagePrinter& printer, std::string_view date);

} // namespace clampmeter
