// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/print_host.h"

namespace clampmeter {

/// What the data list window's buttons call on the main panel.
class ListCommandHost : public PrintHost {
public:
    virtual void Form1SaveSub() = 0; ///< "Save": the text report
    virtual void Form1ExcelSub() = 0; ///< "To Excel": the semicolon-separated export
};

} // namespace clampmeter
