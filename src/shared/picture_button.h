// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAbstractButton>

class QPainter;

namespace clampmeter {

/// A button drawn as a picture that the keyboard reaches too: Tab gives it the focus,
/// Space, Enter and Return click it, and while it has the focus a dotted frame shows it,
/// black and white so that it shows on any picture.
class PictureButton : public QAbstractButton {
public:
    explicit PictureButton(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    /// Draws the focus frame over what the button painted, while it has the focus.
    void paintFocusMark(QPainter& painter) const;
};

} // namespace clampmeter
