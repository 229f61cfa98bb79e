// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "list/list_grid.h"

#include <QAbstractTableModel>

namespace clampmeter {

/// The record grid for a QTableView. The grid's header row is the view's horizontal header
/// and its fixed "NO." column the vertical header, so model row r is grid row r + 1 and
/// model column c grid column c + 1; the last model row is the grid's empty row.
class ListGridModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ListGridModel(const VarModule& vars, QObject* parent = nullptr);

    const ListGrid& grid() const { return m_grid; }
    /// The fixed cell at the top left, over the "NO." column.
    QString cornerText() const;

    void writeHeaders();
    /// One row inserted at the top for the newest record; the rows below are untouched.
    void addNewestRow();
    /// The clear command's grid reset, in one step.
    void clear();
    /// Lists the newest `records` records of the store in one reset (to restore a list).
    void listNewest(int records);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    ListGrid m_grid;
};

} // namespace clampmeter
