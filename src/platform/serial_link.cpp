// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/serial_link.h"

#include "platform/serial_open_failure.h"

#include <utility>

namespace clampmeter {

SerialLink::SerialLink(LinkPanels& panels, AcceptedFrameHandler onAccepted, QObject* parent)
    : QObject(parent)
    , m_timer1(kResyncInterval, [this] { m_sync.onTimer1Tick(); })
    , m_timer2(kWatchdogInterval, [this] { m_sync.onTimer2Tick(); })
    , m_sync(m_control, m_timer1, m_timer2, panels, std::move(onAccepted))
{
    m_port.setObjectName(QStringLiteral("MeterPort"));
    connect(&m_port, &QSerialPort::readyRead, this, &SerialLink::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialLink::onErrorOccurred);
}

SerialLink::~SerialLink()
{
    // The members go before QObject would cut these connections; a signal from the
    // closing port must not reach the framing that is already gone.
    disconnect(&m_port, nullptr, this, nullptr);
    if (m_port.isOpen())
        m_port.close();
}

PortOpenResult SerialLink::open(const QString& portName)
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

void SerialLink::portOpened()
{
    m_sync.portOpened();
}

void SerialLink::resynchronise()
{
    m_sync.resynchronise();
}

bool SerialLink::isOpen() const
{
    return m_port.isOpen();
}

bool SerialLink::isListening() const
{
    return m_control.RThreshold() == kThresholdArmed && !m_timer1.isEnabled();
}

void SerialLink::onReadyRead()
{
    // Bytes may come one readyRead each: the receive event waits for the threshold.
    if (m_control.receiveEventDue())
        m_sync.onComm(kComEvReceive);
}

void SerialLink::onErrorOccurred(QSerialPort::SerialPortError error)
{
    // A vanished device makes QSerialPort repeat the error for ever at full load; closed,
    // it reports once and the program idles with "NO DATA".
    if ((error == QSerialPort::ReadError || error == QSerialPort::ResourceError)
        && m_port.isOpen()) {
        m_port.close();
        emit portLost();
    }
}

} // namespace clampmeter
