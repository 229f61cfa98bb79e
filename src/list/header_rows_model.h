// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAbstractListModel>

namespace clampmeter {

/// The grid's row header's model: a fixed number of rows, at least as many as the grid's
/// model ever holds, with the grid's header texts. A header keeps an entry per section and
/// works out every section's position again whenever its count changes: with a reading
/// inserted at the top of 50000 rows that would be the most expensive part of a reading.
/// The header's rows are all alike (one height, none hidden or moved), so a fixed count
/// serves any number of the grid's rows; the grid paints and scrolls only its own rows and
/// the header paints only their numbers. More rows than the fixed count are added at the
/// end, where the header moves no entry.
class HeaderRowsModel final : public QAbstractListModel {
public:
    HeaderRowsModel(const QAbstractItemModel& rows, int fixedRows, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    /// Follows the grid's row count beyond the fixed count, at the end.
    void follow();

    /// The grid's model; null once it is gone (a window is torn down before its children).
    const QAbstractItemModel* m_rows;
    const int m_fixedRows;
    int m_count = 0;
};

} // namespace clampmeter
