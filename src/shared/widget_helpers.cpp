// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shared/widget_helpers.h"

#include "shared/twips.h"

#include <QMouseEvent>
#include <QPalette>
#include <QWidget>

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
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text,
             QPalette::ButtonText})
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

void InertLabel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

} // namespace clampmeter
