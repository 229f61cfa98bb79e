// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "list/list_grid_model.h"

#include <QColor>
#include <QTableView>

namespace clampmeter {

/// The record grid MSFlexGrid1: fixed header row and fixed "NO." column in their own
/// colours, data cells white with black text, the current cell following the newest
/// reading.
class ListGridView final : public QTableView {
    Q_OBJECT

public:
    static inline const QColor kFixedCellColour {192, 192, 255};
    static inline const QColor kSelectionColour {128, 128, 255};
    static inline const QColor kDataLineColour {128, 128, 255};

    ListGridView(ListGridModel& model, QWidget* parent = nullptr);
    ~ListGridView() override;

    /// After a row was inserted at the top: the current cell moves to row 1's time stamp,
    /// unless the user has moved it away from row 1, which leaves it on its reading until
    /// the user comes back to row 1. The move is not told to assistive tools (as focus and
    /// selection events), only painted: a screen reader would read every time stamp.
    void followNewestRow();
    /// Widens the time column when a stamp would not fit it.
    void fitTimeStamp(const QString& stamp);
    /// Widens the "NO." column when a record number would not fit it. It starts only as
    /// wide as its header.
    void fitRecordNumber(int number);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Keys move the current cell and the view with it: auto-scroll is off so that new
    /// readings never pull the view, and keys must not lose the cell out of sight.
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setUpColumns();
    /// Replaces QTableView's answer to a row count change, a relayout and a repaint of the
    /// whole viewport, for a single row inserted at the top of a view scrolled to the top.
    void takeOverRowCountChanges();
    void onRowCountChanged(int oldCount, int newCount);
    bool showingTopRow() const;
    int rowsInView() const;
    int rowsOutOfView(int rows) const;
    /// The vertical scroll range for `rows` rows.
    void fitScrollRange(int rows);
    void keepLastRowAtTheBottom();

    int cellWidth(const QString& text) const;
    /// After the user moved the current cell: new readings follow it only on row 1.
    void noteUserMove();
    /// Moves the current cell without telling anyone but the painter.
    void moveCurrentQuietly(const QModelIndex& target);

    ListGridModel& m_model;
    int m_numberWidth = 0;
    int m_numberDigits = 0;
    QWidget* m_corner = nullptr;
    bool m_insertingTopRow = false;
    bool m_followingNewest = true;
};

} // namespace clampmeter
