// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStyledItemDelegate>

namespace clampmeter {

/// Paints the grid's data cells as Qt's own delegate does for one line of text (the
/// style's background and focus frame, the text in its alignment), with one text layout
/// per cell instead of three: a new reading paints a row and the cell that lost the
/// selection, and the text layout is most of what that costs.
class GridCellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;
};

} // namespace clampmeter
