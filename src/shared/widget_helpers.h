// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

#include <string_view>

class QMouseEvent;

class QPainter;

namespace clampmeter {

/// A rectangle given in twips (left, top, width, height), in screen pixels.
QRect twipRect(int left, int top, int width, int height);

enum class FontStyle { Upright, Italic };

/// A font of the layouts: family as designed ("Arial", "Tahoma", "MS Sans Serif"), size
/// in points.
QFont designFont(
    const char* family, double points, QFont::Weight weight, FontStyle style = FontStyle::Upright);

/// A stored text (UTF-8) for a widget.
QString qText(std::string_view text);

/// Fixes a widget's text colour whatever the desktop theme says.
void setTextColour(QWidget* widget, const QColor& colour);
/// Fixes a widget's background colour and has it painted.
void setBackgroundColour(QWidget* widget, const QColor& colour);

/// The keyboard focus on a control drawn as a picture: a dotted frame just inside `area`,
/// black on white, so that it shows on any picture.
void paintFocusFrame(QPainter& painter, const QRect& area);

/// A panel in a fixed colour that keeps mouse presses to itself.
class InertPanel : public QWidget {
public:
    InertPanel(const char* name, const QColor& colour, const QRect& geometry, QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

/// Moves a frameless window with the mouse, whichever button is pressed: the window
/// manager moves it where it can, otherwise it follows the mouse until the buttons are up.
class WindowDrag {
public:
    void press(QWidget* window, QMouseEvent* event);
    void move(QWidget* window, QMouseEvent* event);
    void release(QMouseEvent* event);

private:
    bool m_dragging = false;
    QPoint m_offset;
};

} // namespace clampmeter
