// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/simulated_meter_port.h"

#include <utility>

namespace clampmeter {

const QString SimulatedMeterPort::kPortName = QStringLiteral("SIMULATOR");

SimulatedMeterPort::SimulatedMeterPort(SimulatorSettings settings, QObject* parent)
    : MeterPort(parent)
    , m_simulator(settings)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SimulatedMeterPort::sendNext);
}

PortOpenResult SimulatedMeterPort::open(const QString& portName)
{
    if (portName != kPortName)
        return {PortOpenError::NotFound, "there is no simulated meter on " + portName.toStdString(),
            {}, {}};
    m_open = true;
    m_received.clear();
    m_timer.start(0);
    return {};
}

void SimulatedMeterPort::close()
{
    m_open = false;
    m_timer.stop();
    m_received.clear();
}

std::vector<std::uint8_t> SimulatedMeterPort::Input()
{
    return std::exchange(m_received, {});
}

void SimulatedMeterPort::sendNext()
{
    // A burst is all there after its time on the line; then the line is quiet for its gap.
    const SimulatedBurst burst = m_simulator.next();
    m_received.insert(m_received.end(), burst.bytes.begin(), burst.bytes.end());
    m_timer.start(timeOnLine(burst.bytes.size()) + burst.gap);
    if (!burst.bytes.empty())
        bytesCameIn();
}

} // namespace clampmeter
