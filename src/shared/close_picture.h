// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/picture_button.h"

#include <QPixmap>
#include <QRect>

namespace clampmeter {

/// The close picture of a skinned window (Image1): a white cross on a red square, 27 × 26
/// pixels, under a pointing hand. A click on it is a click of the button; the keyboard
/// reaches it as any picture button.
class ClosePicture final : public PictureButton {
public:
    static constexpr QSize kSize {27, 26};

    ClosePicture(const QRect& geometry, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace clampmeter
