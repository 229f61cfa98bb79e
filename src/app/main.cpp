// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// clampmeter: the desktop companion of the power clamp meter. It takes no arguments: it
// finds the meter's USB serial bridge by itself.

#include "app/design_fonts.h"
#include "app/program.h"
#include "platform/system_clock.h"
#include "platform/system_serial_device_map.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    clampmeter::registerDesignFonts();
    QApplication::setApplicationName(QStringLiteral("clampmeter"));
    const auto deviceMap = clampmeter::makeSystemSerialDeviceMap();
    clampmeter::SystemClock clock;
    return clampmeter::runProgram(*deviceMap, clampmeter::systemPortNaming(), clock);
}
