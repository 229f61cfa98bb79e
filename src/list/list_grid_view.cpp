// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/list_grid_view.h"

#include "list/grid_cell_delegate.h"
#include "list/header_rows_model.h"

#include "shared/widget_helpers.h"

#include <QAbstractButton>
#include <QCache>
#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleOptionSlider>
#include <QtMath>

#include <algorithm>
#include <utility>

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
        // The row header's rows beyond the grid's (see HeaderRowsModel) have no text, not
        // even an empty one, and stay unpainted.
        const QVariant label = model()->headerData(section, orientation());
        if (!label.isValid())
            return;
        const QString text = label.toString();
        const auto alignment = model()
                                   ->headerData(section, orientation(), Qt::TextAlignmentRole)
                                   .value<Qt::Alignment>();
        // A new row moves the record numbers in view one row down: each is drawn once and
        // then reused, so a header repainted in full costs little more than its new cell.
        const qreal ratio = painter->device()->devicePixelRatio();
        const QString key = QStringLiteral("%1|%2|%3|%4|%5")
                                .arg(text)
                                .arg(rect.width())
                                .arg(rect.height())
                                .arg(static_cast<int>(alignment))
                                .arg(ratio);
        if (!m_cells.contains(key)) {
            auto* cell
                = new QPixmap(QSize(qCeil(rect.width() * ratio), qCeil(rect.height() * ratio)));
            cell->setDevicePixelRatio(ratio);
            QPainter cellPainter(cell);
            paintFixedCell(cellPainter, QRect(QPoint(0, 0), rect.size()), text, alignment, font());
            cellPainter.end();
            m_cells.insert(key, cell);
        }
        if (const QPixmap* cell = m_cells.object(key))
            painter->drawPixmap(rect.topLeft(), *cell);
        else
            paintFixedCell(*painter, rect, text, alignment, font());
    }

    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::FontChange)
            m_cells.clear();
        QHeaderView::changeEvent(event);
    }

private:
    static constexpr int kCachedCells = 256;

    int m_fixedExtent = 0;
    mutable QCache<QString, QPixmap> m_cells {kCachedCells};
};

/// A scroll bar that repaints for a new range only when its handle moves or resizes: one
/// row more in 50000 changes no pixel of it.
class QuietScrollBar final : public QScrollBar {
public:
    QuietScrollBar(Qt::Orientation orientation, QWidget* parent)
        : QScrollBar(orientation, parent)
    {
    }

protected:
    bool event(QEvent* event) override
    {
        const bool handled = QScrollBar::event(event);
        // It paints every pixel of itself (below), so the window behind it never repaints
        // for it. Set after polishing: the style clears it there.
        if (event->type() == QEvent::Polish)
            setAttribute(Qt::WA_OpaquePaintEvent);
        return handled;
    }
    void sliderChange(SliderChange change) override
    {
        const QRect handle = handleRect();
        if (change == SliderRangeChange && handle == m_paintedHandle && isVisible())
            return;
        m_paintedHandle = handle;
        QScrollBar::sliderChange(change);
    }
    void paintEvent(QPaintEvent* event) override
    {
        m_paintedHandle = handleRect();
        QPainter(this).fillRect(event->rect(), palette().color(QPalette::Window));
        QScrollBar::paintEvent(event);
    }

private:
    QRect handleRect() const
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(
            QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    }

    QRect m_paintedHandle;
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
    setAutoFillBackground(true);
    setFont(designFont("Arial", 9.75, QFont::Normal, FontStyle::Italic));

    setVerticalScrollBar(new QuietScrollBar(Qt::Vertical, this));
    setHorizontalHeader(new FixedCellHeader(Qt::Horizontal, this));
    setVerticalHeader(new FixedCellHeader(Qt::Vertical, this));
    setModel(&m_model);
    // After the view's own connections to the model, so that the header hears of a new row
    // after the view, as it did on the model itself.
    verticalHeader()->setModel(new HeaderRowsModel(m_model, kMaxRecords + 1, this));
    setItemDelegate(new GridCellDelegate(this));
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
    takeOverRowCountChanges();

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

void ListGridView::takeOverRowCountChanges()
{
    // The row header's count no longer follows the grid's (see HeaderRowsModel): the grid
    // answers its own model's row count changes. QTableView connects the header's count by
    // name; if that ever fails, its own answer stays as well.
    disconnect(verticalHeader(), SIGNAL(sectionCountChanged(int, int)), this,
        SLOT(rowCountChanged(int, int)));
    connect(&m_model, &QAbstractItemModel::rowsAboutToBeInserted, this,
        [this](const QModelIndex& parent, int first, int last) {
            m_insertingTopRow = !parent.isValid() && first == 0 && last == 0;
        });
    connect(&m_model, &QAbstractItemModel::rowsInserted, this,
        [this](const QModelIndex&, int first, int last) {
            const int count = m_model.rowCount();
            onRowCountChanged(count - (last - first + 1), count);
        });
    connect(&m_model, &QAbstractItemModel::rowsRemoved, this,
        [this](const QModelIndex&, int first, int last) {
            const int count = m_model.rowCount();
            onRowCountChanged(count + (last - first + 1), count);
        });
}

bool ListGridView::showingTopRow() const
{
    return verticalScrollBar()->value() == 0 && verticalHeader()->offset() == 0;
}

void ListGridView::onRowCountChanged(int oldCount, int newCount)
{
    const bool topRow = std::exchange(m_insertingTopRow, false);
    QHeaderView* rows = verticalHeader();
    const int shift = rows->sectionSize(0);
    if (!topRow || newCount != oldCount + 1 || !showingTopRow() || shift <= 0 || !isVisible()
        || verticalScrollMode() != QAbstractItemView::ScrollPerItem) {
        rowCountChanged(oldCount, newCount);
        return;
    }
    // Every row in view moves down by the new row's height: move the pixels, and only the
    // strip uncovered at the top is painted. Only the viewports' contents move, not the
    // widgets on them.
    QScrollBar* bar = verticalScrollBar();
    if (rowsOutOfView(newCount) > 0 && !bar->isVisible()
        && verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff) {
        rowCountChanged(oldCount, newCount); // the bar has to appear: a real layout
        return;
    }
    {
        // The scroll area answers a new range with a queued relayout that raises both bars
        // over each other, and so repaints them and the window behind them; the bar is
        // already shown and stays so.
        const QSignalBlocker quiet(bar);
        fitScrollRange(newCount);
    }
    viewport()->scroll(0, shift, viewport()->rect());
    rows->viewport()->scroll(0, shift, rows->viewport()->rect());
}

int ListGridView::rowsInView() const
{
    return std::max(1, viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize()));
}

int ListGridView::rowsOutOfView(int rows) const
{
    return std::max(0, rows - rowsInView());
}

void ListGridView::fitScrollRange(int rows)
{
    // Rows of one height scrolled by rows: the range is simple arithmetic.
    verticalScrollBar()->setRange(0, rowsOutOfView(rows));
    verticalScrollBar()->setPageStep(rowsInView());
}

void ListGridView::updateGeometries()
{
    QTableView::updateGeometries();
    // The row header holds more rows than the grid (see HeaderRowsModel): the grid scrolls
    // over its own rows only.
    if (model() != nullptr && verticalScrollMode() == QAbstractItemView::ScrollPerItem) {
        fitScrollRange(model()->rowCount());
        keepLastRowAtTheBottom();
    }
}

void ListGridView::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    if (dy != 0)
        keepLastRowAtTheBottom();
}

void ListGridView::keepLastRowAtTheBottom()
{
    // At the end of its range the row header puts its own last row at the bottom, and its
    // rows go on past the grid's (see HeaderRowsModel); a relayout puts the top row at the
    // top instead. The grid's last row goes at the bottom, as the view would put it.
    const QScrollBar* bar = verticalScrollBar();
    const int rows = model() != nullptr ? model()->rowCount() : 0;
    if (verticalScrollMode() != QAbstractItemView::ScrollPerItem || rows <= 0 || bar->maximum() <= 0
        || bar->value() != bar->maximum())
        return;
    QHeaderView* header = verticalHeader();
    const int end = header->sectionPosition(rows - 1) + header->sectionSize(rows - 1);
    const int offset = std::max(0, end - viewport()->height());
    if (header->offset() == offset)
        return;
    header->setOffset(offset);
    viewport()->update();
}

void ListGridView::paintEvent(QPaintEvent* event)
{
    // Below the grid's last row the row header's further rows are left unpainted, as the
    // view leaves the space below its last row.
    const int rows = model() != nullptr ? model()->rowCount() : 0;
    const int bottom = rows > 0 ? rowViewportPosition(rows - 1) + rowHeight(rows - 1) : 0;
    const QRegion inside = event->region() & QRect(0, 0, viewport()->width(), bottom);
    if (inside.isEmpty())
        return;
    if (inside == event->region()) {
        QTableView::paintEvent(event);
        return;
    }
    QPaintEvent clipped(inside);
    QTableView::paintEvent(&clipped);
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
    if (!m_followingNewest && currentIndex().isValid())
        return;
    m_followingNewest = true;
    moveCurrentQuietly(m_model.index(0, kTimeColumn));
}

void ListGridView::moveCurrentQuietly(const QModelIndex& target)
{
    // The view's answers to the selection model's signals are the accessibility events a
    // screen reader would speak, a time stamp a second wherever the user is, even on the
    // grid itself: new readings are heard through the latest reading's label instead, and
    // only the cells repaint.
    QItemSelectionModel* selection = selectionModel();
    QRegion changed = visualRect(target);
    for (const QModelIndex& index : selection->selectedIndexes())
        changed += visualRect(index);
    changed += visualRect(currentIndex());
    {
        const QSignalBlocker quiet(selection);
        selection->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    }
    viewport()->update(changed);
}

void ListGridView::noteUserMove()
{
    m_followingNewest = currentIndex().row() <= 0;
}

void ListGridView::keyPressEvent(QKeyEvent* event)
{
    const QPersistentModelIndex before = currentIndex();
    QTableView::keyPressEvent(event);
    if (currentIndex().isValid() && currentIndex() != before)
        scrollTo(currentIndex());
    noteUserMove();
}

void ListGridView::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    noteUserMove();
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
