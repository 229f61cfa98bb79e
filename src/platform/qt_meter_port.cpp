// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/qt_serial_port_control.h"

#include <QByteArray>

namespace clampmeter {

QtSerialPortControl::QtSerialPortControl(QSerialPort& port)
    : m_port(port)
{
}

std::size_t QtSerialPortControl::InBufferCount() const
{
    if (!m_port.isOpen())
        return 0;
    return static_cast<std::size_t>(m_port.bytesAvailable());
}

void QtSerialPortControl::discardInBuffer()
{
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Input);
}

std::vector<std::uint8_t> QtSerialPortControl::Input()
{
    if (!m_port.isOpen())
        return {};
    const QByteArray bytes = m_port.readAll();
    const auto* first = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    return {first, first + bytes.size()};
}

void QtSerialPortControl::setRThreshold(std::size_t bytes)
{
    m_threshold = bytes;
}

bool QtSerialPortControl::receiveEventDue() const
{
    return m_threshold > 0 && InBufferCount() >= m_threshold;
}

} // namespace clampmeter
