// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/serial_link.h"

#include "platform/system_meter_port.h"

#include <utility>

namespace clampmeter {

SerialLink::SerialLink(LinkPanels& panels, AcceptedFrameHandler onAccepted, QObject* parent,
    std::unique_ptr<MeterPort> port)
    : QObject(parent)
    , m_port(port ? std::move(port) : makeSystemMeterPort())
    , m_timer1(kResyncInterval, [this] { m_sync.onTimer1Tick(); })
    , m_timer2(kWatchdogInterval, [this] { m_sync.onTimer2Tick(); })
    , m_sync(*m_port, m_timer1, m_timer2, panels, std::move(onAccepted))
{
    // One of the link's children, as its timers are (tests find the port there).
    m_port->setParent(this);
    // Bytes may come one event each: the port raises the receive event at the threshold.
    connect(m_port.get(), &MeterPort::received, this, [this] { m_sync.onComm(kComEvReceive); });
    connect(m_port.get(), &MeterPort::lost, this, &SerialLink::portLost);
}

SerialLink::~SerialLink()
{
    // The members go before QObject would cut these connections; a signal from the
    // closing port must not reach the framing that is already gone.
    disconnect(m_port.get(), nullptr, this, nullptr);
}

PortOpenResult SerialLink::open(const QString& portName)
{
    return m_port->open(portName);
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
    return m_port->isOpen();
}

bool SerialLink::isListening() const
{
    return m_port->RThreshold() == kThresholdArmed && !m_timer1.isEnabled();
}

} // namespace clampmeter
