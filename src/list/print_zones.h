// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace clampmeter {

/// Width of one print zone of the text report, in characters.
inline constexpr std::size_t kPrintZoneWidth = 14;

/// Number of characters (code points) in UTF-8 text: every byte that does not continue a
/// multibyte sequence counts once.
std::size_t characterCount(std::string_view utf8);

/// Lays out the items of one report line in print zones of 14 characters.
///
/// Zones start at character positions 0, 14, 28, … (0-based). The first item starts at 0;
/// each later item starts at the first zone start strictly after the position that follows
/// the previous item, so two items are always at least one blank apart and an item ending
/// in the last column of a zone pushes the next one a whole zone on. An empty item writes
/// nothing but still takes its zone. No blanks are written after the last item.
class PrintZoneLine {
public:
    /// Appends the line to `out`, which may already hold earlier lines.
    explicit PrintZoneLine(std::string& out);

    /// Appends one item (UTF-8).
    PrintZoneLine& item(std::string_view text);

private:
    std::string& m_out;
    std::size_t m_written = 0; ///< characters already written on this line
    std::size_t m_next = 0; ///< where the next item starts
};

} // namespace clampmeter
