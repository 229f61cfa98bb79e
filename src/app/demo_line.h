// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/meter_port.h"
#include "simulator/meter_simulator.h"

#include <memory>
#include <string>

namespace clampmeter {

/// The demo's line from the built-in meter to the program: a pseudo-terminal fed by the
/// simulator where the system has them, else a simulated port inside the program (Windows).
class DemoLine {
public:
    explicit DemoLine(SimulatorSettings settings);
    ~DemoLine();
    DemoLine(const DemoLine&) = delete;
    DemoLine& operator=(const DemoLine&) = delete;

    /// False when the line could not be made; the demo cannot run.
    bool isOpen() const;
    /// The port the program finds registered for the bridge, for example /dev/pts/4.
    std::string portName() const;
    /// The meter starts sending.
    void start();
    /// The port the program reads; empty for the system's serial port.
    MeterPortMaker portMaker() const;

private:
    struct Meter; ///< the platform's simulated meter

    std::unique_ptr<Meter> m_meter;
};

} // namespace clampmeter
