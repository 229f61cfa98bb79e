// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/grid_cell_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>

namespace clampmeter {
namespace {

QPalette::ColorGroup colourGroup(const QStyleOptionViewItem& option)
{
    const bool enabled = option.widget != nullptr ? option.widget->isEnabled()
                                                  : (option.state & QStyle::State_Enabled);
    if (!enabled)
        return QPalette::Disabled;
    return (option.state & QStyle::State_Active) ? QPalette::Normal : QPalette::Inactive;
}

void drawText(QPainter* painter, const QStyleOptionViewItem& option, const QRect& area)
{
    QTextOption textOption;
    textOption.setWrapMode(QTextOption::ManualWrap);
    textOption.setTextDirection(option.direction);
    textOption.setAlignment(QStyle::visualAlignment(option.direction, option.displayAlignment));
    QTextLayout layout(option.text, option.font);
    layout.setTextOption(textOption);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(area.width());
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    qreal top = area.top();
    if (option.displayAlignment & Qt::AlignVCenter)
        top += (area.height() - line.height()) / 2;
    else if (option.displayAlignment & Qt::AlignBottom)
        top += area.height() - line.height();
    layout.draw(painter, QPointF(area.left(), top));
}

} // namespace

void GridCellDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QWidget* widget = cell.widget;
    const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    const QPalette::ColorGroup group = colourGroup(cell);
    const bool selected = cell.state & QStyle::State_Selected;

    painter->save();
    painter->setClipRect(cell.rect);
    // The background as the style draws it (the selection's fill).
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cell, painter, widget);
    if (!cell.text.isEmpty()) {
        painter->setPen(
            cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        drawText(painter, cell, cell.rect.adjusted(margin, 0, -margin, 0));
    }
    if (cell.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(cell);
        focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &cell, widget);
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor
            = cell.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
}

} // namespace clampmeter
