// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/list_grid_model.h"

#include "shared/widget_helpers.h"

namespace clampmeter {
namespace {

QVariant alignmentOf(CellAlignment alignment)
{
    const Qt::Alignment horizontal
        = alignment == CellAlignment::Right ? Qt::AlignRight : Qt::AlignLeft;
    return QVariant::fromValue(horizontal | Qt::AlignVCenter);
}

} // namespace

ListGridModel::ListGridModel(const VarModule& vars, QObject* parent)
    : QAbstractTableModel(parent)
    , m_grid(vars)
{
}

QString ListGridModel::cornerText() const
{
    return qText(m_grid.text(0, 0));
}

void ListGridModel::writeHeaders()
{
    m_grid.writeHeaders();
    emit headerDataChanged(Qt::Horizontal, 0, ListGrid::kColumns - 2);
}

void ListGridModel::addNewestRow()
{
    if (m_grid.listedRecords() >= kMaxRecords)
        return;
    beginInsertRows({}, 0, 0);
    m_grid.addNewestRow();
    endInsertRows();
}

void ListGridModel::clear()
{
    beginResetModel();
    m_grid.clear();
    endResetModel();
}

void ListGridModel::listNewest(int records)
{
    beginResetModel();
    m_grid.listNewest(records);
    endResetModel();
}

int ListGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_grid.rows() - 1;
}

int ListGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ListGrid::kColumns - 1;
}

QVariant ListGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row() + 1;
    const int column = index.column() + 1;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return qText(m_grid.text(row, column));
    case Qt::TextAlignmentRole:
        return alignmentOf(m_grid.alignment(row, column));
    default:
        return {};
    }
}

QVariant ListGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const int row = orientation == Qt::Horizontal ? 0 : section + 1;
    const int column = orientation == Qt::Horizontal ? section + 1 : 0;
    if (section < 0 || row >= m_grid.rows() || column >= ListGrid::kColumns)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return qText(m_grid.text(row, column));
    case Qt::TextAlignmentRole:
        return alignmentOf(m_grid.alignment(row, column));
    default:
        return {};
    }
}

Qt::ItemFlags ListGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace clampmeter
