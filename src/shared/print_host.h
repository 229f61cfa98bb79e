// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/capture_clock.h"
#include "link/link_resynchroniser.h"
#include "shared/page_printer.h"

#include <memory>
#include <string_view>

namespace clampmeter {

/// What a window's Print button needs from the program: the printer, the time of printing,
/// a way to tell the user that printing failed, and the link's resynchronisation entry for
/// afterwards.
class PrintHost : public LinkResynchroniser {
public:
    /// The system's default printer for one document, chosen without a dialog. Never null:
    /// when there is no printer it is a printer that has failed already.
    virtual std::unique_ptr<PagePrinter> openPrinter(std::string_view documentName) = 0;
    /// Date and time of printing, from one instant.
    virtual CaptureTime printTime() = 0;
    /// A modal message box with the program's title and `text`; returns once dismissed.
    virtual void showPrintFailure(std::string_view text) = 0;
};

} // namespace clampmeter
