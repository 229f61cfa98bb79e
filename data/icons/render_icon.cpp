// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Build tool: renders an SVG to PNG, so that every PNG comes from the one drawn source.
// Needs no display.
//   render_icon ICON.svg OUTPUT.png SIZE            the icon, square, on transparency
//   render_icon --picture PICTURE.svg OUTPUT.png SCALE
//       a picture of the windows at its own size times SCALE, on white, as the program
//       draws it on a screen of that scale (for builds without an SVG renderer)

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <iostream>
#include <string>

namespace {

constexpr const char* kUsage = "usage: render_icon ICON.svg OUTPUT.png SIZE\n"
                               "       render_icon --picture PICTURE.svg OUTPUT.png SCALE\n";

double number(const char* text)
{
    try {
        return std::stod(text);
    } catch (const std::exception&) {
        return 0.0;
    }
}

int save(const QImage& image, const char* path)
{
    if (!image.save(QString::fromLocal8Bit(path), "PNG")) {
        std::cerr << "render_icon: cannot write " << path << '\n';
        return 1;
    }
    return 0;
}

int renderIcon(QSvgRenderer& renderer, const char* output, const char* sizeText)
{
    const double size = number(sizeText);
    if (size < 1 || size > 1024 || size != static_cast<int>(size)) {
        std::cerr << "render_icon: the size must be 1 to 1024 pixels\n";
        return 2;
    }
    QImage image(
        static_cast<int>(size), static_cast<int>(size), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    return save(image, output);
}

int renderPicture(QSvgRenderer& renderer, const char* output, const char* scaleText)
{
    const double scale = number(scaleText);
    if (scale < 0.5 || scale > 4) {
        std::cerr << "render_icon: the scale must be 0.5 to 4\n";
        return 2;
    }
    // As a picture drawn for that screen: device pixels of the picture's size in logical
    // pixels, rounded as Qt rounds them.
    const QSize size = renderer.defaultSize();
    QImage image(size * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    image.setDevicePixelRatio(1.0);
    return save(image, output);
}

} // namespace

int main(int argc, char* argv[])
{
    const bool picture = argc == 5 && std::string(argv[1]) == "--picture";
    if (argc != 4 && !picture) {
        std::cerr << kUsage;
        return 2;
    }
    // The pictures hold text: fonts need an application, and no display is needed for them.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int noArguments = 1;
    const QGuiApplication application(noArguments, argv);
    const char* source = argv[picture ? 2 : 1];
    QSvgRenderer renderer(QString::fromLocal8Bit(source));
    if (!renderer.isValid()) {
        std::cerr << "render_icon: cannot read " << source << '\n';
        return 1;
    }
    return picture ? renderPicture(renderer, argv[3], argv[4])
                   : renderIcon(renderer, argv[2], argv[3]);
}
