// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/qt_link_timer.h"

#include <utility>

namespace clampmeter {

QtLinkTimer::QtLinkTimer(std::chrono::milliseconds interval, std::function<void()> onTick)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(interval);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, std::move(onTick));
}

void QtLinkTimer::enable()
{
    // QTimer::start() on a running timer restarts its count; enabling must not.
    if (!m_timer.isActive())
        m_timer.start();
}

void QtLinkTimer::disable()
{
    m_timer.stop();
}

bool QtLinkTimer::isEnabled() const
{
    return m_timer.isActive();
}

} // namespace clampmeter
