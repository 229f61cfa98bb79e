// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/demo_line.h"

#include "app/simulator_feeder.h"

namespace clampmeter {

// A real serial port of the system: the program reads it as it reads the bridge.
struct DemoLine::Meter {
    explicit Meter(SimulatorSettings settings)
        : feeder(settings)
    {
    }
    SimulatorFeeder feeder;
};

DemoLine::DemoLine(SimulatorSettings settings)
    : m_meter(std::make_unique<Meter>(settings))
{
}

DemoLine::~DemoLine() = default;

bool DemoLine::isOpen() const
{
    return m_meter->feeder.isOpen();
}

std::string DemoLine::portName() const
{
    return m_meter->feeder.portName();
}

void DemoLine::start()
{
    m_meter->feeder.start();
}

MeterPortMaker DemoLine::portMaker() const
{
    return {};
}

} // namespace clampmeter
