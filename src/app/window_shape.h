// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QBitmap>
#include <QColor>
#include <QImage>

namespace clampmeter {

/// The key colour of the main panel: every pixel of exactly this colour is cut out of the
/// window, to sight and to clicks.
inline const QColor kShapeKeyColour(255, 255, 255);

/// A window mask that is opaque everywhere except on pixels of the key colour.
QBitmap shapeMask(const QImage& look, const QColor& key = kShapeKeyColour);

} // namespace clampmeter
