// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "recording_printer.h"
#include "shared/print_host.h"

#include <QCursor>
#include <QGuiApplication>

#include <memory>
#include <string>
#include <vector>

namespace clampmeter::test {

/// What a Print button needs, recorded: each document goes to a new recording printer kept
/// here, failures and resynchronisations are noted in the order they happen.
class RecordingPrintHost final : public PrintHost {
public:
    std::unique_ptr<PagePrinter> openPrinter(std::string_view documentName) override
    {
        documents.emplace_back(documentName);
        busyWhilePrinting.push_back(QGuiApplication::overrideCursor() != nullptr
            && QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor);
        printers.push_back(std::make_unique<RecordingPrinter>());
        printers.back()->failAtCall = failAtCall;
        return std::make_unique<ForwardingPrinter>(*printers.back());
    }
    CaptureTime printTime() override { return {"01/05/24", "14:03:07"}; }
    void showPrintFailure(std::string_view text) override
    {
        events.push_back("failure: " + std::string(text));
    }
    void resynchronise() override { events.emplace_back("resynchronise"); }

    int failAtCall = -1; ///< for the printers opened from now on
    std::vector<std::string> documents;
    std::vector<bool> busyWhilePrinting; ///< the wait cursor was up when a printer was opened
    std::vector<std::unique_ptr<RecordingPrinter>> printers;
    std::vector<std::string> events;
};

} // namespace clampmeter::test
