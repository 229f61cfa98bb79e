// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/load_sequence.h"
#include "link/serial_port_control.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <functional>
#include <memory>

namespace clampmeter {

/// The meter's serial port as the link drives it, on the user-interface thread: opened by
/// name, read-only, at 2400 baud, 8 data bits, no parity, 1 stop bit, no flow control, bytes
/// unconverted; read without ever blocking the event loop. The receive side is the framing's
/// SerialPortControl. When the device goes away the port closes itself and says so once.
class MeterPort : public QObject, public SerialPortControl {
    Q_OBJECT

public:
    using QObject::QObject;

    /// Opens the port (a name such as ttyUSB0 or COM3, or a device path). On failure the
    /// result carries the system's reason and its kind.
    virtual PortOpenResult open(const QString& portName) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    void setRThreshold(std::size_t bytes) final { m_threshold = bytes; }
    std::size_t RThreshold() const { return m_threshold; }

signals:
    /// The receive event: new bytes leave at least the receive threshold waiting.
    void received();
    /// The device went away (a hang-up, a pulled cable) and the port is closed now.
    void lost();

protected:
    /// For implementations, after bytes came in: raises the receive event when it is due.
    void bytesCameIn()
    {
        if (m_threshold > 0 && InBufferCount() >= m_threshold)
            emit received();
    }

private:
    std::size_t m_threshold = 0;
};

/// Makes the port a link reads; an empty one stands for the system's serial port.
using MeterPortMaker = std::function<std::unique_ptr<MeterPort>()>;

} // namespace clampmeter
