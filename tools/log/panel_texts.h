// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/measurement_frame.h"

#include <string>

namespace clampmeter::cli {

/// What the main panel shows for one reading, taken from presentReading() itself, so a log
/// line holds the panel's texts to the letter. A text the reading leaves as it was on the
/// panel (the captions of an unknown function code, the phase of a frame without one) is
/// empty here: a log line speaks only for its own frame.
struct PanelTexts {
    std::string function; ///< "FUN_VAC" … , the record's function; empty for an unknown code
    std::string main; ///< MainDataLabel
    std::string unit; ///< Label7
    std::string secondary; ///< SlaveDataLabel
    std::string secondaryUnit; ///< Label8
    std::string phase; ///< Label12: "@1" …
    std::string number; ///< Label11
    bool wiring = false; ///< Label6 "3@3w" shown
    bool bat = false; ///< Label13 "bat" shown
    bool mr = false; ///< Label4 "MR" shown
};

PanelTexts panelTexts(const MeasurementFrame& reading);

} // namespace clampmeter::cli
