// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

namespace clampmeter {

/// Where Debian's fonts-wine keeps its faces, which fontconfig does not list.
inline const QString kWineFontFolder = QStringLiteral("/usr/share/wine/fonts");

/// Makes the faces the layouts were measured with ("Tahoma", "MS Sans Serif") available to
/// this program when the system has metric-compatible files of them in `folder` but does not
/// offer them. A family the system already has is left to the system's own face; a missing
/// folder or file is skipped quietly. Returns the families this call added. Call it once the
/// QGuiApplication exists.
QStringList registerDesignFonts(const QString& folder = kWineFontFolder);

} // namespace clampmeter
