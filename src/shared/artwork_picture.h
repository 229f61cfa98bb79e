// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace clampmeter {

/// A picture of the program's artwork on white, at a size in logical pixels, for a screen
/// of the given pixel ratio. `resource` names the picture's SVG source, for example
/// ":/artwork/meter_skin.svg": drawn from it where Qt Svg is at hand, else taken from the PNG
/// copies the build drew of it (artwork_scale.h), the nearest one for the screen.
QPixmap artworkPicture(const QString& resource, QSize size, qreal devicePixelRatio);

} // namespace clampmeter
