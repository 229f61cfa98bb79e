// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shared/widget_helpers.h"

#include "shared/twips.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QWidget>
#include <QWindow>

namespace clampmeter {

QRect twipRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

QFont designFont(const char* family, double points, QFont::Weight weight, FontStyle style)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(points);
    font.setWeight(weight);
    font.setItalic(style == FontStyle::Italic);
    return font;
}

QString qText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    for (const QPalette::ColorRole role :
        {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, colour);
    widget->setPalette(palette);
}

void setBackgroundColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void paintFocusFrame(QPainter& painter, const QRect& area)
{
    painter.save();
    const QRect frame = area.adjusted(0, 0, -1, -1);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(frame);
    QPen dots(Qt::black, 1, Qt::CustomDashLine);
    dots.setDashPattern({1.0, 1.0});
    painter.setPen(dots);
    painter.drawRect(frame);
    painter.restore();
}

InertPanel::InertPanel(
    const char* name, const QColor& colour, const QRect& geometry, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QString::fromLatin1(name));
    setBackgroundColour(this, colour);
    setGeometry(geometry);
}

void InertPanel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void WindowDrag::press(QWidget* window, QMouseEvent* event)
{
    event->accept();
    if (QWindow* handle = window->windowHandle(); handle != nullptr && handle->startSystemMove())
        return;
    m_dragging = true;
    m_offset = event->globalPosition().toPoint() - window->pos();
}

void WindowDrag::move(QWidget* window, QMouseEvent* event)
{
    if (m_dragging)
        window->move(event->globalPosition().toPoint() - m_offset);
}

void WindowDrag::release(QMouseEvent* event)
{
    if (event->buttons() == Qt::NoButton)
        m_dragging = false;
}

} // namespace clampmeter
