// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/pseudo_terminal.h"
#include "simulator/meter_simulator.h"

#include <QObject>
#include <QTimer>

#include <optional>
#include <string>

namespace clampmeter {

/// The built-in meter for the demo: streams simulated frames into a pseudo-terminal, each
/// burst followed by its time on the line and its quiet gap, on the program's own event loop.
class SimulatorFeeder final : public QObject {
    Q_OBJECT

public:
    /// Opens the pseudo-terminal; check isOpen() before use.
    explicit SimulatorFeeder(SimulatorSettings settings, QObject* parent = nullptr);

    bool isOpen() const { return m_pty.has_value(); }
    /// The port the program opens, for example /dev/pts/4.
    std::string portName() const;

    void start();

private:
    void sendNext();

    std::optional<PseudoTerminal> m_pty;
    MeterSimulator m_simulator;
    QTimer m_timer;
};

} // namespace clampmeter
