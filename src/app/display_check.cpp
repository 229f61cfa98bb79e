// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/display_check.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace clampmeter {
namespace {

bool isSet(const char* value)
{
    return value != nullptr && *value != '\0';
}

const char* const kWithoutADesktop = "Start it in a desktop session (clampmeter-cli reads, "
                                     "logs and simulates the meter without one).";

// One guard at a time: Qt's message handler is one for the whole process.
std::string g_program;
QtMessageHandler g_previous = nullptr;

void fatalToExit(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        if (g_previous != nullptr)
            g_previous(type, context, message);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
        return;
    }
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    std::string named;
    if (isSet(display))
        named += std::string(" DISPLAY=") + display;
    if (isSet(wayland))
        named += std::string(" WAYLAND_DISPLAY=") + wayland;
    std::fprintf(stderr, "%s: cannot open a window: no window system answers (%s). %s\n",
        g_program.c_str(), named.empty() ? "no display is named" : named.substr(1).c_str(),
        kWithoutADesktop);
    std::fflush(stderr);
    std::_Exit(kNoDisplayExitCode);
}

} // namespace

std::string missingDisplayReason(std::string_view program, int argc, const char* const argv[],
    const EnvironmentReader& environment)
{
#ifdef Q_OS_WIN
    (void)program;
    (void)argc;
    (void)argv;
    (void)environment;
    return {};
#else
    if (isSet(environment("QT_QPA_PLATFORM")) || isSet(environment("DISPLAY"))
        || isSet(environment("WAYLAND_DISPLAY")))
        return {};
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-platform" || argument == "--platform")
            return {};
    }
    return std::string(program) + ": no display to open the window on: neither DISPLAY nor "
        + "WAYLAND_DISPLAY is set. " + kWithoutADesktop;
#endif
}

WindowSystemStartGuard::WindowSystemStartGuard(std::string_view program)
{
    g_program = program;
    g_previous = qInstallMessageHandler(fatalToExit);
}

WindowSystemStartGuard::~WindowSystemStartGuard()
{
    qInstallMessageHandler(g_previous);
    g_previous = nullptr;
}

} // namespace clampmeter
