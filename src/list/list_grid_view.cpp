// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/list_grid_view.h"

#include "shared/widget_helpers.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>

#include <algorithm>

namespace clampmeter {
namespace {

constexpr int kTextMargin = 3;
constexpr int kTimeColumn = 3; // model column of "TIME"

/// Draws one fixed cell: flat fixed-cell colour, black lines on its right and bottom edges.
void paintFixedCell(QPainter& painter, const QRect& rect, const QString& text,
    Qt::Alignment alignment, const QFont& font)
{
    painter.save();
    painter.fillRect(rect, ListGridView::kFixedCellColour);
    painter.setPen(Qt::black);
    painter.drawLine(rect.topRight(), rect.bottomRight());
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.setFont(font);
    painter.setClipRect(rect.adjusted(0, 0, -1, -1));
    painter.drawText(rect.adjusted(kTextMargin, 0, -kTextMargin - 1, -1), alignment, text);
    painter.restore();
}

/// The fixed row or the fixed column, painted flat in the fixed cells' colours.
class FixedCellHeader final : public QHeaderView {
public:
    FixedCellHeader(Qt::Orientation orientation, QWidget* parent)
        : QHeaderView(orientation, parent)
    {
        setSectionsClickable(false);
        setHighlightSections(false);
        setSectionResizeMode(QHeaderView::Fixed);
    }

    /// The fixed column is only as wide as its header text needs; its size hint never
    /// looks at the rows, so a new row costs nothing here.
    void setFixedExtent(int extent) { m_fixedExtent = extent; }

    QSize sizeHint() const override
    {
        if (m_fixedExtent <= 0)
            return QHeaderView::sizeHint();
        return orientation() == Qt::Vertical ? QSize(m_fixedExtent, 0) : QSize(0, m_fixedExtent);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        // Beyond the last column the grid is white, as its empty area is.
        QPainter(viewport()).fillRect(event->rect(), Qt::white);
        QHeaderView::paintEvent(event);
    }

    void paintSection(QPainter* painter, const QRect& rect, int section) const override
    {
        if (!rect.isValid() || model() == nullptr)
            return;
        const QString text = model()->headerData(section, orientation()).toString();
        const auto alignment = model()
                                   ->headerData(section, orientation(), Qt::TextAlignmentRole)
                                   .value<Qt::Alignment>();
        paintFixedCell(*painter, rect, text, alignment, font());
    }

private:
    int m_fixedExtent = 0;
};

/// Lines between data cells in the grid's own colour.
class GridLineStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
        QStyleHintReturn* returnData) const override
    {
        if (hint == SH_Table_GridLineColor)
            return static_cast<int>(ListGridView::kDataLineColour.rgba());
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QPalette gridPalette(QPalette palette)
{
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::black);
    // The selection's text keeps the system's highlight-text colour.
    palette.setColor(QPalette::Highlight, ListGridView::kSelectionColour);
    return palette;
}

} // namespace

ListGridView::ListGridView(ListGridModel& model, QWidget* parent)
    : QTableView(parent)
    , m_model(model)
{
    auto* style = new GridLineStyle;
    style->setParent(this);
    setStyle(style);
    setPalette(gridPalette(palette()));
    setFont(designFont("Arial", 9.75, QFont::Normal, FontStyle::Italic));

    setHorizontalHeader(new FixedCellHeader(Qt::Horizontal, this));
    setVerticalHeader(new FixedCellHeader(Qt::Vertical, this));
    setModel(&m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTextElideMode(Qt::ElideNone);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // Tab leaves the grid for the next control, as in the window's focus order.
    setTabKeyNavigation(false);
    // A new reading must not pull the view away from the history the user is reading.
    setAutoScroll(false);
    setUpColumns();

    // The corner over the "NO." column is a fixed cell too: it shows the column's header.
    m_corner = findChild<QAbstractButton*>();
    if (m_corner != nullptr)
        m_corner->installEventFilter(this);
}

ListGridView::~ListGridView()
{
    if (m_corner != nullptr)
        m_corner->removeEventFilter(this);
}

void ListGridView::setUpColumns()
{
    const QFontMetrics metrics(font());
    const int lineHeight = metrics.height() + 3;
    auto* rows = static_cast<FixedCellHeader*>(verticalHeader());
    rows->setMinimumSectionSize(lineHeight);
    rows->setDefaultSectionSize(lineHeight);
    m_numberWidth = cellWidth(m_model.cornerText());
    rows->setFixedExtent(m_numberWidth);

    auto* columns = static_cast<FixedCellHeader*>(horizontalHeader());
    columns->setFixedExtent(lineHeight);
    const auto widthOf = [&](const char* sample) { return cellWidth(QString::fromLatin1(sample)); };
    columns->resizeSection(0, widthOf("FUN_ENERGY"));
    columns->resizeSection(1, widthOf("-0000.00"));
    columns->resizeSection(2, widthOf("kVAR"));
    columns->resizeSection(kTimeColumn, widthOf("00/00/0000\\00:00:00"));
    columns->setStretchLastSection(true);
}

int ListGridView::cellWidth(const QString& text) const
{
    return QFontMetrics(font()).horizontalAdvance(text) + 2 * kTextMargin + 1;
}

void ListGridView::fitTimeStamp(const QString& stamp)
{
    const int needed = cellWidth(stamp);
    if (needed > columnWidth(kTimeColumn))
        horizontalHeader()->resizeSection(kTimeColumn, needed);
}

void ListGridView::fitRecordNumber(int number)
{
    // Digits share one width in the grid's font: only a new digit count can widen it.
    const auto digits = static_cast<int>(QString::number(number).size());
    if (digits <= m_numberDigits)
        return;
    m_numberDigits = digits;
    const int needed = cellWidth(QString(digits, QLatin1Char('0')));
    if (needed <= m_numberWidth)
        return;
    m_numberWidth = needed;
    static_cast<FixedCellHeader*>(verticalHeader())->setFixedExtent(needed);
    updateGeometries();
}

void ListGridView::followNewestRow()
{
    QItemSelectionModel* selection = selectionModel();
    const int column = std::max(currentIndex().column(), 0);
    selection->setCurrentIndex(m_model.index(0, column), QItemSelectionModel::ClearAndSelect);
    for (int c = 0; c < m_model.columnCount(); ++c)
        selection->setCurrentIndex(m_model.index(0, c), QItemSelectionModel::ClearAndSelect);
}

bool ListGridView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_corner && event->type() == QEvent::Paint) {
        QPainter painter(m_corner);
        paintFixedCell(painter, m_corner->rect(), m_model.cornerText(),
            Qt::AlignLeft | Qt::AlignVCenter, font());
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

} // namespace clampmeter
