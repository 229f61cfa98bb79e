// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace clampmeter::cli {

/// An output stream whose failure is noticed at the write or flush that failed, with the
/// system's reason (a full disk, a closed pipe), instead of passing silently.
class CheckedOutput {
public:
    explicit CheckedOutput(std::ostream& out);

    /// Writes `text`; false once the output has failed, now or before.
    bool write(std::string_view text);

    /// Hands everything written so far to the system; false once the output has failed.
    bool flush();

    /// One line for the user once write() or flush() has returned false, for example
    /// "cannot write the output: No space left on device".
    std::string failure() const;

private:
    bool check();

    std::ostream& m_out;
    int m_error = 0; ///< errno of the first failure, 0 when it left none
};

/// Writes all of `text` (a help text) to `out` and returns the exit code: 0, or 1 after
/// "<command>: cannot write the output: <reason>" on `err`.
int writeText(
    std::string_view command, std::string_view text, std::ostream& out, std::ostream& err);

} // namespace clampmeter::cli
