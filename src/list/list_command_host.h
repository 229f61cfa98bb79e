// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/print_host.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace clampmeter {

/// "Clear list" asks this before it discards readings no save holds.
std::string clearQuestion(std::int32_t unsaved);

/// What the data list window's buttons call on the main panel.
class ListCommandHost : public PrintHost {
public:
    virtual void Form1SaveSub() = 0; ///< "Save": the text report
    virtual void Form1ExcelSub() = 0; ///< "To Excel": the semicolon-separated export

    /// A modal question with the program's title; true when the user says yes.
    virtual bool confirm(std::string_view question) = 0;
    /// Stored readings that no complete Save or To Excel has held since the last clear.
    virtual std::int32_t unsavedReadings() const = 0;
    /// The list was cleared: the graph empties, the journal notes it.
    virtual void listCleared() = 0;
};

} // namespace clampmeter
