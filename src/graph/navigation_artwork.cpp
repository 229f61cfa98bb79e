// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/navigation_artwork.h"

#include <QPainter>
#include <QPainterPath>

namespace clampmeter {
namespace {

const QColor kNormalFace(212, 214, 218);
const QColor kPressedFace(190, 222, 60);
const QColor kFrame(140, 180, 240);
const QColor kSymbol(0, 64, 200);

enum class Symbol { First, Left, Centre, Right, End };

/// A chevron pointing left (direction -1) or right (+1) with its tip at `tipX`.
void drawChevron(QPainter& painter, qreal tipX, int direction)
{
    const qreal depth = 5.0 * direction;
    QPainterPath path;
    path.moveTo(tipX - depth, 5.5);
    path.lineTo(tipX, 10.5);
    path.lineTo(tipX - depth, 15.5);
    painter.drawPath(path);
}

void drawBar(QPainter& painter, qreal x)
{
    painter.drawLine(QPointF(x, 5.5), QPointF(x, 15.5));
}

void drawSymbol(QPainter& painter, Symbol symbol)
{
    QPen pen(kSymbol, 2.2);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    switch (symbol) {
    case Symbol::First:
        drawBar(painter, 25.0);
        drawChevron(painter, 29.0, -1);
        break;
    case Symbol::Left:
        drawChevron(painter, 27.5, -1);
        break;
    case Symbol::Centre:
        painter.setPen(Qt::NoPen);
        painter.setBrush(kSymbol);
        painter.drawEllipse(QPointF(30.0, 10.5), 4.0, 4.0);
        break;
    case Symbol::Right:
        drawChevron(painter, 32.5, 1);
        break;
    case Symbol::End:
        drawChevron(painter, 31.0, 1);
        drawBar(painter, 35.0);
        break;
    }
}

} // namespace

QPixmap NavigationArtwork::picture(int number, qreal devicePixelRatio)
{
    const bool pressed = number > 5;
    const auto symbol = static_cast<Symbol>((number - 1) % 5);
    QPixmap pixmap(kSize * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&pixmap);
    painter.fillRect(QRect(QPoint(0, 0), kSize), kFrame);
    painter.fillRect(
        QRect(QPoint(1, 1), kSize - QSize(2, 2)), pressed ? kPressedFace : kNormalFace);
    painter.setRenderHint(QPainter::Antialiasing, true);
    drawSymbol(painter, symbol);
    return pixmap;
}

} // namespace clampmeter
