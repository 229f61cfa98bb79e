// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/print_zones.h"

namespace clampmeter {

std::size_t characterCount(std::string_view utf8)
{
    std::size_t count = 0;
    for (const char byte : utf8) {
        if ((static_cast<unsigned char>(byte) & 0xC0U) != 0x80U)
            ++count;
    }
    return count;
}

PrintZoneLine::PrintZoneLine(std::string& out)
    : m_out(out)
{
}

PrintZoneLine& PrintZoneLine::item(std::string_view text)
{
    const std::size_t start = m_next;
    const std::size_t end = start + characterCount(text);
    if (!text.empty()) {
        // Blanks are only ever written in front of an item, never after the last one.
        m_out.append(start - m_written, ' ');
        m_out.append(text);
        m_written = end;
    }
    m_next = (end / kPrintZoneWidth + 1) * kPrintZoneWidth;
    return *this;
}

} // namespace clampmeter
