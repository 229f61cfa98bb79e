// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/info_options.h"

#include <iostream>

namespace clampmeter {

// Laid out for help2man, which makes the manual page from it.
const std::string_view kProgramHelp
    = "Usage: clampmeter [OPTION]\n"
      "Show, log, list, plot and print the readings of a power clamp meter.\n"
      "\n"
      "clampmeter finds the meter's USB serial bridge (CP210x) by itself when it starts\n"
      "and reads no configuration. Plug the meter in and switch it on before starting it;\n"
      "clampmeter-demo is the same program fed by a simulated meter.\n"
      "\n"
      "Options:\n"
      "  -h, --help     show this text and exit\n"
      "  -v, --version  show the version and exit\n"
      "\n"
      "It needs a desktop session: without a display (neither DISPLAY nor\n"
      "WAYLAND_DISPLAY set, or none answering) it says so and exits with status 1;\n"
      "an option it does not know ends it with status 2.\n"
      "\n"
      "When the bridge is missing or cannot be opened, a message box says why, and the\n"
      "program ends when it is closed. 'clampmeter-cli ports' tells whether this user\n"
      "may open the bridge. Once it runs, a pulled cable ends nothing: the bridge is\n"
      "looked for again every second.\n"
      "\n"
      "Every reading is written at once to a journal of the session in\n"
      "$XDG_STATE_HOME/clampmeter/sessions (else ~/.local/state/clampmeter/sessions);\n"
      "after a crash the next start offers to save what was not saved, and\n"
      "'clampmeter-cli journal' lists and exports the sessions. CLAMPMETER_JOURNAL=off\n"
      "in the environment switches the journal off.\n";

InfoRequest findInfoRequest(int argc, const char* const argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--")
            break;
        if (argument == "--help" || argument == "-h" || argument == "-?"
            || argument == "--help-all")
            return InfoRequest::Help;
        if (argument == "--version" || argument == "-v")
            return InfoRequest::Version;
    }
    return InfoRequest::None;
}

std::string_view firstUnknownArgument(int argc, const char* const argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--")
            continue;
        return argument;
    }
    return {};
}

int writeInfo(std::string_view text)
{
    std::cout << text << std::flush;
    return std::cout ? 0 : 1;
}

} // namespace clampmeter
