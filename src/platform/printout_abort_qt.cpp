// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/printout_abort.h"

namespace clampmeter {

bool abortPrintout(QPrinter& printer)
{
    return printer.abort();
}

} // namespace clampmeter
