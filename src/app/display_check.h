// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace clampmeter {

/// Exit code of a window program that found no display to open its windows on.
inline constexpr int kNoDisplayExitCode = 1;

/// Reads an environment variable: nullptr when it is not set.
using EnvironmentReader = std::function<const char*(const char*)>;

/// Why `program`'s windows cannot open here, said before Qt would abort over it; empty where
/// Qt may find a window system: on Windows, when a Qt platform is chosen (QT_QPA_PLATFORM,
/// or -platform among the arguments), or when DISPLAY or WAYLAND_DISPLAY names a display.
std::string missingDisplayReason(std::string_view program, int argc, const char* const argv[],
    const EnvironmentReader& environment);

/// While it lives, a fatal message of Qt's (a display named but not answering, no platform
/// plugin that works) ends the program with kNoDisplayExitCode and one line in the
/// program's own words instead of an abort. Made around the application object alone.
class WindowSystemStartGuard {
public:
    explicit WindowSystemStartGuard(std::string_view program);
    ~WindowSystemStartGuard();
    WindowSystemStartGuard(const WindowSystemStartGuard&) = delete;
    WindowSystemStartGuard& operator=(const WindowSystemStartGuard&) = delete;
};

} // namespace clampmeter
