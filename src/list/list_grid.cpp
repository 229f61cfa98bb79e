// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/list_grid.h"

#include <algorithm>

namespace clampmeter {
namespace {

constexpr std::array<std::string_view, ListGrid::kColumns> kHeaders {
    "NO.", "FUN", "DATA", "UNIT", "TIME"};

} // namespace

ListGrid::ListGrid(const VarModule& vars)
    : m_vars(vars)
{
}

int ListGrid::recordIndex(int row) const
{
    // Counted from the grid's own rows, not from DataCount: the capture counts a reading
    // before it inserts its row, and the rows already listed must not change meanwhile.
    if (row < 1 || row > m_listed)
        return -1;
    return m_listed - row;
}

std::string ListGrid::text(int row, int column) const
{
    if (column < 0 || column >= kColumns)
        return {};
    if (row == 0)
        return std::string(m_header[static_cast<std::size_t>(column)]);
    const int index = recordIndex(row);
    if (index < 0)
        return {};
    const DataRecord& record = m_vars.DataRecords[static_cast<std::size_t>(index)];
    switch (column) {
    case 0:
        return std::to_string(record.No);
    case 1:
        return record.FunText;
    case 2:
        return record.DataText;
    case 3:
        return record.UnitText;
    default:
        return record.StampText;
    }
}

CellAlignment ListGrid::alignment(int row, int column) const
{
    return isNumericText(text(row, column)) ? CellAlignment::Right : CellAlignment::Left;
}

void ListGrid::writeHeaders()
{
    for (std::size_t column = 1; column < kHeaders.size(); ++column)
        m_header[column] = kHeaders[column];
}

void ListGrid::addNewestRow()
{
    if (m_listed < kMaxRecords)
        ++m_listed;
}

void ListGrid::clear()
{
    m_listed = 0;
    m_header = kHeaders;
}

void ListGrid::listNewest(int records)
{
    m_listed = std::clamp(records, 0, m_vars.DataCount);
}

bool isNumericText(std::string_view text)
{
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    bool digit = false;
    bool point = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

} // namespace clampmeter
