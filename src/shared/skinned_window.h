// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/widget_helpers.h"

#include <QPixmap>
#include <QString>
#include <QWidget>

namespace clampmeter {

/// A window without a system frame whose whole surface is a picture (its skin), drawn from
/// an SVG resource at the screen's own resolution. Any mouse button pressed on the skin
/// itself, not on a control, drags the window. Escape closes it (hides it, as its close
/// picture does).
class SkinnedWindow : public QWidget {
public:
    /// `size` in logical pixels, the skin's size.
    SkinnedWindow(const QString& skinResource, QSize size, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_skinResource;
    QPixmap m_skin;
    WindowDrag m_drag;
};

} // namespace clampmeter
