// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// clampmeter: the desktop companion of the power clamp meter. It takes no arguments but
// --help and --version: it finds the meter's USB serial bridge by itself.

#include "app/design_fonts.h"
#include "app/info_options.h"
#include "app/program.h"
#include "platform/system_clock.h"
#include "platform/system_serial_device_map.h"
#include "shared/version.h"

#include <QApplication>

#include <string>

int main(int argc, char* argv[])
{
    // Answered before the application object exists, so that they need no display.
    switch (clampmeter::findInfoRequest(argc, argv)) {
    case clampmeter::InfoRequest::Help:
        return clampmeter::writeInfo(clampmeter::kProgramHelp);
    case clampmeter::InfoRequest::Version:
        return clampmeter::writeInfo("clampmeter " + std::string(clampmeter::kVersion) + "\n");
    case clampmeter::InfoRequest::None:
        break;
    }
    QApplication app(argc, argv);
    clampmeter::registerDesignFonts();
    QApplication::setApplicationName(QStringLiteral("clampmeter"));
    QApplication::setApplicationVersion(QString::fromUtf8(clampmeter::kVersion));
    // Ties the window to its desktop entry and icon (the window's app id under Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral(CLAMPMETER_APP_ID));
    const auto deviceMap = clampmeter::makeSystemSerialDeviceMap();
    clampmeter::SystemClock clock;
    return clampmeter::runProgram(*deviceMap, clock);
}
