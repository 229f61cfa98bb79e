// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/header_rows_model.h"

#include <algorithm>

namespace clampmeter {

HeaderRowsModel::HeaderRowsModel(const QAbstractItemModel& rows, int fixedRows, QObject* parent)
    : QAbstractListModel(parent)
    , m_rows(&rows)
    , m_fixedRows(fixedRows)
    , m_count(std::max(fixedRows, rows.rowCount()))
{
    connect(&rows, &QObject::destroyed, this, [this] { m_rows = nullptr; });
    connect(&rows, &QAbstractItemModel::rowsInserted, this, &HeaderRowsModel::follow);
    connect(&rows, &QAbstractItemModel::rowsRemoved, this, &HeaderRowsModel::follow);
    connect(&rows, &QAbstractItemModel::modelReset, this, &HeaderRowsModel::follow);
    connect(&rows, &QAbstractItemModel::layoutChanged, this, &HeaderRowsModel::follow);
    connect(&rows, &QAbstractItemModel::headerDataChanged, this,
        [this](Qt::Orientation orientation, int first, int last) {
            if (orientation == Qt::Vertical)
                emit headerDataChanged(orientation, first, last);
        });
}

void HeaderRowsModel::follow()
{
    const int wanted = std::max(m_fixedRows, m_rows != nullptr ? m_rows->rowCount() : 0);
    if (wanted > m_count) {
        beginInsertRows({}, m_count, wanted - 1);
        m_count = wanted;
        endInsertRows();
    } else if (wanted < m_count) {
        beginRemoveRows({}, wanted, m_count - 1);
        m_count = wanted;
        endRemoveRows();
    }
}

int HeaderRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_count;
}

QVariant HeaderRowsModel::data(const QModelIndex&, int) const
{
    return {};
}

QVariant HeaderRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return m_rows != nullptr ? m_rows->headerData(section, orientation, role) : QVariant();
}

} // namespace clampmeter
