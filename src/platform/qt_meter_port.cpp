// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/qt_meter_port.h"

#include "platform/serial_open_failure.h"

#include <QByteArray>

namespace clampmeter {

QtMeterPort::QtMeterPort(QObject* parent)
    : MeterPort(parent)
{
    m_port.setObjectName(QStringLiteral("MeterPort"));
    // QSerialPort has no receive threshold: every readyRead asks whether one is reached.
    connect(&m_port, &QSerialPort::readyRead, this, &QtMeterPort::bytesCameIn);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtMeterPort::onErrorOccurred);
}

QtMeterPort::~QtMeterPort()
{
    // A signal from the closing port must not reach an owner that is already going.
    disconnect(&m_port, nullptr, this, nullptr);
    if (m_port.isOpen())
        m_port.close();
}

PortOpenResult QtMeterPort::open(const QString& portName)
{
    m_port.setPortName(portName);
    m_port.setBaudRate(QSerialPort::Baud2400);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_port.setReadBufferSize(0);
    if (m_port.open(QIODevice::ReadOnly))
        return {};
    return describeOpenFailure(inspectOpenFailure(m_port));
}

void QtMeterPort::close()
{
    if (m_port.isOpen())
        m_port.close();
}

bool QtMeterPort::isOpen() const
{
    return m_port.isOpen();
}

std::size_t QtMeterPort::InBufferCount() const
{
    if (!m_port.isOpen())
        return 0;
    return static_cast<std::size_t>(m_port.bytesAvailable());
}

void QtMeterPort::discardInBuffer()
{
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Input);
}

std::vector<std::uint8_t> QtMeterPort::Input()
{
    if (!m_port.isOpen())
        return {};
    const QByteArray bytes = m_port.readAll();
    const auto* first = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    return {first, first + bytes.size()};
}

void QtMeterPort::onErrorOccurred(QSerialPort::SerialPortError error)
{
    // A vanished device makes QSerialPort repeat the error for ever at full load; closed,
    // it reports once and the program idles with "NO DATA".
    if ((error == QSerialPort::ReadError || error == QSerialPort::ResourceError)
        && m_port.isOpen()) {
        m_port.close();
        emit lost();
    }
}

} // namespace clampmeter
