// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/axis_label.h"

#include "shared/twips.h"
#include "shared/widget_helpers.h"

#include <QMouseEvent>

namespace clampmeter {

AxisLabel::AxisLabel(const char* name, int left, int top, const QString& caption,
    Qt::Alignment alignment, QWidget* parent)
    : ValueLabel(caption, parent)
{
    setObjectName(QString::fromLatin1(name));
    setFont(designFont("MS Sans Serif", 8.25, QFont::Bold));
    setTextColour(this, Qt::black);
    setAlignment(alignment | Qt::AlignTop);
    move(twipsToPixels(left), twipsToPixels(top));
    fitToText();
}

void AxisLabel::setCaption(const QString& caption)
{
    if (caption == text())
        return;
    showValue(caption);
    fitToText();
}

void AxisLabel::fitToText()
{
    const QFontMetrics metrics(font());
    resize(metrics.horizontalAdvance(text()), metrics.height());
}

void AxisLabel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

} // namespace clampmeter
