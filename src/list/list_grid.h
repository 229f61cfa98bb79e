// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/var_module.h"

#include <array>
#include <string>
#include <string_view>

namespace clampmeter {

/// How a cell's text sits in its cell: numbers to the right, other texts to the left.
enum class CellAlignment { Left, Right };

/// The record grid of the data list window, as rows and cells of text.
///
/// Row 0 is the fixed header ("NO.", "FUN", "DATA", "UNIT", "TIME"), column 0 the fixed
/// "NO." column. Rows 1 … n list records n … 1, newest first (row r shows the record at
/// store index n - r), read straight from the store, and one empty row stays last: n + 2
/// rows in all. n follows DataCount: one more row per reading stored, none after a clear. The grid
/// never copies a record: a capture adds one row, a clear drops them all.
class ListGrid {
public:
    static constexpr int kColumns = 5;

    explicit ListGrid(const VarModule& vars);

    /// Header row and empty row included: listed records + 2.
    int rows() const { return m_listed + 2; }
    int listedRecords() const { return m_listed; }

    /// Cell text; empty outside the grid and in the last row.
    std::string text(int row, int column) const;
    /// Alignment of a cell by its text, as a general-purpose grid does it.
    CellAlignment alignment(int row, int column) const;
    /// The store index of the record shown in a data row, or -1 for the header, the empty
    /// last row and rows outside the grid.
    int recordIndex(int row) const;

    /// Header set-up at program start: "FUN", "DATA", "UNIT", "TIME" into row 0. "NO." is
    /// the grid's own from the start.
    void writeHeaders();
    /// The newest record (store index DataCount - 1) becomes row 1.
    void addNewestRow();
    /// Back to the header row and one empty row, headers written anew.
    void clear();
    /// Lists the newest `records` records of the store at once (at most DataCount).
    void listNewest(int records);

private:
    const VarModule& m_vars;
    int m_listed = 0;
    std::array<std::string_view, kColumns> m_header {"NO.", "", "", "", ""};
};

/// A text a general-purpose grid treats as a number: optional sign, digits with at most one
/// decimal point, at least one digit.
bool isNumericText(std::string_view text);

} // namespace clampmeter
