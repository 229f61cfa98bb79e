// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/demo_line.h"

#include "app/simulated_meter_port.h"

namespace clampmeter {

// Windows has no pseudo-terminals: the meter is a port of the program's own, which starts
// sending when the program opens it.
struct DemoLine::Meter {
    SimulatorSettings settings;
};

DemoLine::DemoLine(SimulatorSettings settings)
    : m_meter(std::make_unique<Meter>(Meter {settings}))
{
}

DemoLine::~DemoLine() = default;

bool DemoLine::isOpen() const
{
    return true;
}

std::string DemoLine::portName() const
{
    return SimulatedMeterPort::kPortName.toStdString();
}

void DemoLine::start() { }

MeterPortMaker DemoLine::portMaker() const
{
    const SimulatorSettings settings = m_meter->settings;
    return [settings] { return std::make_unique<SimulatedMeterPort>(settings); };
}

} // namespace clampmeter
