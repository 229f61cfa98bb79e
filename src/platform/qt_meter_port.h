// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/serial_port_control.h"

#include <QSerialPort>

namespace clampmeter {

/// The framing's view of a QSerialPort.
///
/// The count is what the port has taken from the driver (bytesAvailable); discarding also
/// flushes what the driver still holds (clear(Input) empties both). The receive threshold
/// is kept here: QSerialPort has none, so the owner asks receiveEventDue() on every
/// readyRead. A closed port counts 0 bytes and reads none.
class QtSerialPortControl final : public SerialPortControl {
public:
    explicit QtSerialPortControl(QSerialPort& port);

    std::size_t InBufferCount() const override;
    void discardInBuffer() override;
    std::vector<std::uint8_t> Input() override;
    void setRThreshold(std::size_t bytes) override;

    std::size_t RThreshold() const { return m_threshold; }
    /// True while armed and at least the threshold's number of bytes is waiting.
    bool receiveEventDue() const;

private:
    QSerialPort& m_port;
    std::size_t m_threshold = 0;
};

} // namespace clampmeter
