// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/picture_button.h"

#include <QPixmap>

namespace clampmeter {

/// A picture button of the graph window: shows its pressed picture from the moment any
/// mouse button goes down on it until that button comes up again, wherever the pointer is
/// then, and its normal picture otherwise. A left click on it (press and release over it)
/// is its click, as for any button; the keyboard reaches it as any picture button.
class ImageButton final : public PictureButton {
public:
    /// `normal` and `pressed` are numbers of the navigation pictures (1 … 10).
    ImageButton(int normal, int pressed, QWidget* parent);

    /// The picture it shows now: its normal or its pressed number.
    int shownPicture() const { return m_showingPressed ? m_pressed : m_normal; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void showPressed(bool pressed);

    int m_normal;
    int m_pressed;
    bool m_showingPressed = false;
    QPixmap m_pictures[2];
};

} // namespace clampmeter
