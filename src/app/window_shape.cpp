// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/window_shape.h"

namespace clampmeter {

QBitmap shapeMask(const QImage& look, const QColor& key)
{
    const QImage opaque = look.convertToFormat(QImage::Format_RGB32);
    // The mask image paints key pixels white and the rest black; in a bitmap white is
    // transparent and black opaque, so "mask in" is the mode that cuts the key colour out.
    return QBitmap::fromImage(opaque.createMaskFromColor(key.rgb(), Qt::MaskInColor));
}

} // namespace clampmeter
