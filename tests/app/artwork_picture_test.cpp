// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The windows' pictures at every screen scale: drawn from SVG, or on Windows taken from the
// copies the build drew beforehand.

#include "app/meter_artwork.h"
#include "shared/artwork_picture.h"

#include <QColor>
#include <QImage>
#include <gtest/gtest.h>

#include <cmath>

namespace clampmeter {
namespace {

const QString kSkin = QStringLiteral(":/artwork/meter_skin.svg");

TEST(ArtworkPicture, HasTheScreensPixelsAtAnyScale)
{
    for (const qreal scale : {1.0, 1.25, 1.5, 2.0, 1.3, 2.5}) {
        const QPixmap picture = artworkPicture(kSkin, MeterArtwork::kSkinSize, scale);
        EXPECT_EQ(picture.devicePixelRatio(), scale);
        EXPECT_EQ(picture.size(), MeterArtwork::kSkinSize * scale) << "scale " << scale;
        EXPECT_EQ(picture.deviceIndependentSize().toSize(), MeterArtwork::kSkinSize);
    }
}

TEST(ArtworkPicture, ShowsTheSameDrawingAtEveryScale)
{
    // Flat places of the meter: the display's glass, the dark front, the yellow case, and the
    // white the window's outline is cut along.
    const QPoint places[] = {{130, 560}, {60, 420}, {40, 620}, {5, 5}};
    const QImage base = artworkPicture(kSkin, MeterArtwork::kSkinSize, 1.0).toImage();
    for (const qreal scale : {1.25, 1.5, 2.0, 1.3}) {
        const QImage scaled = artworkPicture(kSkin, MeterArtwork::kSkinSize, scale).toImage();
        for (const QPoint& at : places) {
            const QColor expected = base.pixelColor(at);
            const QColor actual = scaled.pixelColor(
                QPoint(int(std::lround(at.x() * scale)), int(std::lround(at.y() * scale))));
            EXPECT_LE(std::abs(expected.red() - actual.red())
                    + std::abs(expected.green() - actual.green())
                    + std::abs(expected.blue() - actual.blue()),
                12)
                << "scale " << scale << " at " << at.x() << "," << at.y() << ": "
                << expected.name().toStdString() << " became " << actual.name().toStdString();
        }
    }
}

TEST(ArtworkPicture, EveryPictureOfTheWindowsIsThere)
{
    const struct {
        QString resource;
        QSize size;
    } pictures[] = {
        {kSkin, MeterArtwork::kSkinSize},
        {QStringLiteral(":/artwork/dial_8.svg"), MeterArtwork::kDialSize},
        {QStringLiteral(":/list/list_skin.svg"), QSize(324, 668)},
        {QStringLiteral(":/graph/graph_skin.svg"), QSize(693, 668)},
        {QStringLiteral(":/shared/close.svg"), QSize(27, 26)},
    };
    for (const auto& p : pictures) {
        const QImage image = artworkPicture(p.resource, p.size, 1.5).toImage();
        // A missing picture would be plain white.
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; y += 3) {
            for (int x = 0; x < image.width() && !drawn; x += 3)
                drawn = image.pixel(x, y) != qRgb(255, 255, 255);
        }
        EXPECT_TRUE(drawn) << p.resource.toStdString();
    }
}

#ifdef Q_OS_WIN
TEST(ArtworkPicture, OnWindowsAPreparedScaleIsTheBuildsOwnCopy)
{
    const QImage copy(QStringLiteral(":/artwork/meter_skin@1.25x.png"));
    ASSERT_FALSE(copy.isNull());
    const QImage picture = artworkPicture(kSkin, MeterArtwork::kSkinSize, 1.25).toImage();
    EXPECT_TRUE(picture.convertToFormat(QImage::Format_RGB32)
        == copy.convertToFormat(QImage::Format_RGB32));
}
#endif

} // namespace
} // namespace clampmeter
