// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shared/printout_run.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

namespace clampmeter {
namespace {

/// The wait cursor for as long as it lives.
class BusyCursor {
public:
    BusyCursor()
    {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        // The cursor reaches the screen only when the window system's queue is flushed;
        // no user input is handled here, and the printout reads the records only after.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace

bool runPrintout(PrintHost& host, std::string_view documentName, std::string_view failureText,
    const std::function<bool(PagePrinter&)>& layout)
{
    bool printed = false;
    {
        BusyCursor busy;
        std::unique_ptr<PagePrinter> printer = host.openPrinter(documentName);
        printed = !printer->failed() && layout(*printer) && !printer->failed();
    } // a failed document is discarded here, before the message
    if (!printed)
        host.showPrintFailure(failureText);
    return printed;
}

} // namespace clampmeter
