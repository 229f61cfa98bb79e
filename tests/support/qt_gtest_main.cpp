// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// main() for tests that need widgets, timers or serial ports: one QApplication for the
// whole test program, on the offscreen platform unless the caller chose another, with the
// same fonts as the program.

#include "app/design_fonts.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    clampmeter::registerDesignFonts();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
