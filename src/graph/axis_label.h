// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/value_label.h"

namespace clampmeter {

/// A caption of the graph window (axis names, tick labels, record numbers): MS Sans Serif
/// 8.25 pt bold, black, on no background of its own. It sizes itself to its text keeping its
/// left edge where it is, so a longer caption grows to the right. Pressing it never drags
/// the window.
class AxisLabel final : public ValueLabel {
public:
    /// `left` and `top` in twips, like the window's layout.
    AxisLabel(const char* name, int left, int top, const QString& caption, Qt::Alignment alignment,
        QWidget* parent);

    /// Shows a new caption and fits the label to it.
    void setCaption(const QString& caption);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void fitToText();
};

} // namespace clampmeter
