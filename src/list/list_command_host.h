// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace clampmeter {

/// What the data list window's buttons call on the main panel.
class ListCommandHost {
public:
    ListCommandHost() = default;
    ListCommandHost(const ListCommandHost&) = delete;
    ListCommandHost& operator=(const ListCommandHost&) = delete;
    virtual ~ListCommandHost() = default;

    virtual void Form1SaveSub() = 0; ///< "Save": the text report
    virtual void Form1ExcelSub() = 0; ///< "To Excel": the semicolon-separated export
    /// The link's resynchronisation entry (receive threshold 0, then Timer1 on).
    virtual void resynchronise() = 0;
};

} // namespace clampmeter
