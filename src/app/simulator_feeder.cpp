// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/simulator_feeder.h"

#include <fcntl.h>

namespace clampmeter {

SimulatorFeeder::SimulatorFeeder(SimulatorSettings settings, QObject* parent)
    : QObject(parent)
    , m_pty(PseudoTerminal::open())
    , m_simulator(settings)
{
    // Once the program has closed its port nobody reads the line: a full line must drop
    // bytes rather than stall the program's event loop.
    if (m_pty)
        ::fcntl(m_pty->masterFd(), F_SETFL, ::fcntl(m_pty->masterFd(), F_GETFL) | O_NONBLOCK);
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SimulatorFeeder::sendNext);
}

std::string SimulatorFeeder::portName() const
{
    return m_pty ? m_pty->slavePath() : std::string();
}

void SimulatorFeeder::start()
{
    if (m_pty)
        m_timer.start(0);
}

void SimulatorFeeder::sendNext()
{
    const SimulatedBurst burst = m_simulator.next();
    m_pty->write(burst.bytes);
    // The kernel passes the bytes on at once: the time they take on a 2400-baud line is
    // kept before the gap, so the program sees the meter's own pace.
    m_timer.start(timeOnLine(burst.bytes.size()) + burst.gap);
}

} // namespace clampmeter
