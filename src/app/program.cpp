// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/program.h"

#include "app/form1.h"

#include <QApplication>
#include <QScreen>

#include <memory>

namespace clampmeter {

int runProgram(SerialDeviceMap& deviceMap, CaptureClock& clock)
{
    auto vars = std::make_unique<VarModule>();
    Form1 form(Form1::Services {*vars, deviceMap, clock, {}});
    if (!form.load())
        return kStartFailedExitCode;
    QObject::connect(&form, &Form1::closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    // Centred on the screen it opens on, as the panel's own settings ask.
    if (const QScreen* screen = form.screen())
        form.move(screen->availableGeometry().center() - form.rect().center());
    form.show();
    return QApplication::exec();
}

} // namespace clampmeter
