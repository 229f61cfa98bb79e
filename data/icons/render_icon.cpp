// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Build tool: renders the SVG icon to a square PNG of one size, so that the installed PNG
// icons always come from the one drawn source. Needs no display.

#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <iostream>
#include <string>

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::cerr << "usage: render_icon ICON.svg OUTPUT.png SIZE\n";
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::cerr << "render_icon: cannot read the icon " << argv[1] << '\n';
        return 1;
    }
    int size = 0;
    try {
        size = std::stoi(argv[3]);
    } catch (const std::exception&) {
        size = 0;
    }
    if (size < 1 || size > 1024) {
        std::cerr << "render_icon: the size must be 1 to 1024 pixels\n";
        return 2;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::cerr << "render_icon: cannot write " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
