// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/design_fonts.h"
#include "shared/widget_helpers.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace clampmeter {
namespace {

TEST(DesignFonts, AFolderWithoutTheFacesAddsNothing)
{
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    EXPECT_TRUE(registerDesignFonts(empty.path()).isEmpty());
    EXPECT_TRUE(registerDesignFonts(empty.filePath(QStringLiteral("missing"))).isEmpty());
}

struct Face {
    const char* family;
    QFont::Weight weight;
    const char* style;
};

// The test program registers the faces at start, as the program does.
TEST(DesignFonts, LayoutFamiliesResolveToTheirOwnFaces)
{
    if (!QDir(kWineFontFolder).exists())
        GTEST_SKIP() << kWineFontFolder.toStdString() << " is missing (Debian package fonts-wine)";
    const Face faces[] = {
        {"Tahoma", QFont::Normal, "Regular"},
        {"Tahoma", QFont::Bold, "Bold"},
        {"MS Sans Serif", QFont::Normal, nullptr},
    };
    for (const Face& face : faces) {
        const QFontInfo info(designFont(face.family, 8.25, face.weight));
        EXPECT_EQ(info.family(), QString::fromLatin1(face.family)) << face.family;
        if (face.style != nullptr) {
            EXPECT_EQ(info.styleName(), QString::fromLatin1(face.style)) << face.family;
        }
    }
}

TEST(DesignFonts, ASecondCallAddsNoSecondCopy)
{
    if (!QDir(kWineFontFolder).exists())
        GTEST_SKIP() << kWineFontFolder.toStdString() << " is missing (Debian package fonts-wine)";
    EXPECT_TRUE(registerDesignFonts().isEmpty());
    EXPECT_EQ(QFontDatabase::families().count(QStringLiteral("Tahoma")), 1);
}

} // namespace
} // namespace clampmeter
