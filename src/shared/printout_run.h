// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/print_host.h"

#include <functional>
#include <string_view>

namespace clampmeter {

/// One printout from start to end: opens the default printer, lays the document out under
/// a busy cursor, and when anything failed shows `failureText` once, after the document has
/// been discarded and the cursor is back. Resynchronising the link is the caller's.
/// True when the document went to the printer.
bool runPrintout(PrintHost& host, std::string_view documentName, std::string_view failureText,
    const std::function<bool(PagePrinter&)>& layout);

} // namespace clampmeter
