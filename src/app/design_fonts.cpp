// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/design_fonts.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>

namespace clampmeter {
namespace {

struct DesignFace {
    const char* file;
    const char* family;
};

constexpr DesignFace kDesignFaces[] = {
    {"tahoma.ttf", "Tahoma"},
    {"tahomabd.ttf", "Tahoma"},
    {"ms_sans_serif.ttf", "MS Sans Serif"},
};

} // namespace

QStringList registerDesignFonts(const QString& folder)
{
    const QDir dir(folder);
    if (!dir.exists())
        return {};
    // Taken before adding anything, so that both files of one family are added.
    const QStringList present = QFontDatabase::families();
    QStringList added;
    for (const DesignFace& face : kDesignFaces) {
        const QString family = QString::fromLatin1(face.family);
        if (present.contains(family, Qt::CaseInsensitive))
            continue;
        const QString path = dir.filePath(QString::fromLatin1(face.file));
        if (!QFileInfo(path).isFile())
            continue;
        const int id = QFontDatabase::addApplicationFont(path);
        if (id < 0)
            continue;
        for (const QString& registered : QFontDatabase::applicationFontFamilies(id)) {
            if (!added.contains(registered))
                added.append(registered);
        }
    }
    return added;
}

} // namespace clampmeter
