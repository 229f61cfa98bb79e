// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/bridge_reconnector.h"

#include "platform/serial_link.h"

namespace clampmeter {

BridgeReconnector::BridgeReconnector(SerialLink& link, Attempt attempt, QObject* parent)
    : QObject(parent)
    , m_link(link)
    , m_attempt(std::move(attempt))
{
    m_timer.setInterval(kLookInterval);
    // A second more or less does not matter: let the system bundle the wake-ups.
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { lookNow(); });
    connect(&m_link, &SerialLink::portLost, this, &BridgeReconnector::startLooking);
}

BridgeAttempt BridgeReconnector::lookNow()
{
    const BridgeAttempt attempt = m_attempt();
    if (attempt.connected()) {
        m_timer.stop();
        m_link.portOpened();
        emit reconnected(QString::fromStdString(attempt.port));
    } else {
        emit lookFailed(QString::fromStdString(attempt.failureLine));
    }
    return attempt;
}

void BridgeReconnector::startLooking()
{
    if (!m_timer.isActive())
        m_timer.start();
}

} // namespace clampmeter
