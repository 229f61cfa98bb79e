// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/meter_port.h"
#include "simulator/meter_simulator.h"

#include <QTimer>

#include <vector>

namespace clampmeter {

/// The built-in meter as a port of its own, for a demo where the system offers no
/// pseudo-terminal (Windows): once open, the simulator's bursts arrive at the meter's own
/// pace, each after its time on a 2400-baud line and its quiet gap, on the program's event loop.
class SimulatedMeterPort final : public MeterPort {
    Q_OBJECT

public:
    /// The one name this port opens under.
    static const QString kPortName;

    explicit SimulatedMeterPort(SimulatorSettings settings, QObject* parent = nullptr);

    PortOpenResult open(const QString& portName) override;
    void close() override;
    bool isOpen() const override { return m_open; }

    std::size_t InBufferCount() const override { return m_received.size(); }
    void discardInBuffer() override { m_received.clear(); }
    std::vector<std::uint8_t> Input() override;

private:
    void sendNext();

    MeterSimulator m_simulator;
    QTimer m_timer;
    bool m_open = false;
    std::vector<std::uint8_t> m_received;
};

} // namespace clampmeter
