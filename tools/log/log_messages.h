// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace clampmeter::cli {

/// Standard error of the logger: messages, each on lines of its own, and on a terminal one
/// status line kept up to date in place below them. Without a terminal there is no status
/// line at all, so a service's journal holds the messages alone.
class LogMessages {
public:
    /// `terminal`: whether `err` is standard error on a terminal (else no status line is
    /// shown).
    LogMessages(std::ostream& err, bool terminal);

    bool showsStatus() const { return m_terminal; }
    /// The terminal's width in columns (80 when it does not say).
    std::size_t columns() const;

    /// "clampmeter-cli log: <text>" on lines of its own; the status line comes back below.
    void say(std::string_view text);

    /// Replaces the status line (without terminal: does nothing).
    void showStatus(std::string_view line);

    /// Removes the status line for good, before the summary.
    void endStatus();

private:
    void clearStatus();

    std::ostream& m_err;
    bool m_terminal;
    std::string m_status; ///< shown now, empty when none
};

} // namespace clampmeter::cli
