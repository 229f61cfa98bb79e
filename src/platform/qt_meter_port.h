// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/meter_port.h"

#include <QSerialPort>

namespace clampmeter {

/// The meter's port on a QSerialPort.
///
/// The count is what the port has taken from the driver (bytesAvailable); discarding also
/// flushes what the driver still holds (clear(Input) empties both). Its read buffer is
/// unlimited (framing discards whatever piles up, so it never grows past what arrives
/// between two event-loop passes). A closed port counts 0 bytes and reads none.
class QtMeterPort final : public MeterPort {
    Q_OBJECT

public:
    explicit QtMeterPort(QObject* parent = nullptr);
    ~QtMeterPort() override;

    PortOpenResult open(const QString& portName) override;
    void close() override;
    bool isOpen() const override;

    std::size_t InBufferCount() const override;
    void discardInBuffer() override;
    std::vector<std::uint8_t> Input() override;

private:
    void onErrorOccurred(QSerialPort::SerialPortError error);

    QSerialPort m_port {this};
};

} // namespace clampmeter
