// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// clampmeter: the desktop companion of the power clamp meter. It takes no arguments but
// --help and --version: it finds the meter's USB serial bridge by itself.

#include "app/design_fonts.h"
#include "app/display_check.h"
#include "app/info_options.h"
#include "app/program.h"
#include "platform/system_clock.h"
#include "platform/system_serial_device_map.h"
#include "shared/version.h"

#include <QApplication>

#include <cstdlib>
#include <iostream>
#include <optional>
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
    if (const std::string reason
        = clampmeter::missingDisplayReason("clampmeter", argc, argv, std::getenv);
        !reason.empty()) {
        std::cerr << reason << '\n';
        return clampmeter::kNoDisplayExitCode;
    }
    std::optional<clampmeter::WindowSystemStartGuard> windowSystemStart(
        std::in_place, "clampmeter");
    QApplication app(argc, argv);
    windowSystemStart.reset();
    // It reads no options but those above: a mistyped one must not pass unnoticed. Qt's own
    // options (-platform, -style, …) are gone from the arguments by now.
    if (const std::string_view unknown = clampmeter::firstUnknownArgument(argc, argv);
        !unknown.empty()) {
        std::cerr << "clampmeter: unknown option '" << unknown << "' (see clampmeter --help)\n";
        return 2;
    }
    clampmeter::registerDesignFonts();
    QApplication::setApplicationName(QStringLiteral("clampmeter"));
    QApplication::setApplicationVersion(QString::fromUtf8(clampmeter::kVersion));
    // Ties the window to its desktop entry and icon (the window's app id under Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral(CLAMPMETER_APP_ID));
    const auto deviceMap = clampmeter::makeSystemSerialDeviceMap();
    clampmeter::SystemClock clock;
    return clampmeter::runProgram(*deviceMap, clock);
}
