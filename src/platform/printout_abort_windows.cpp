// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/printout_abort.h"

#include <QtPrintSupport/private/qprintengine_win_p.h>

#include <windows.h>

namespace clampmeter {

bool abortPrintout(QPrinter& printer)
{
    // Qt's Windows print engine does nothing on abort(), and its end() would hand the
    // document to the spooler as if finished: the spooler is told to drop the job here. Qt
    // then ends a document the system no longer has, which only earns a warning.
    auto* engine = dynamic_cast<QWin32PrintEngine*>(printer.printEngine());
    if (engine == nullptr)
        return printer.abort();
    const HDC dc = engine->getDC();
    const bool aborted = dc != nullptr && AbortDoc(dc) > 0;
    engine->releaseDC(dc);
    return aborted;
}

} // namespace clampmeter
