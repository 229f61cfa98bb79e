// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/qt_link_timer.h"

#include <utility>

namespace clampmeter {

QtLinkTimer::QtLinkTimer(std::chrono::milliseconds interval, std::function<void()> onTick)
    : m_onTick(std::move(onTick))
{
    m_timer.setTimerType(Qt::PreciseTimer);
    // A repeating QTimer keeps its rhythm: after a tick that came late the next one comes
    // early, and Timer1 would find the line "quiet" after a pause shorter than 50 ms.
    m_timer.setSingleShot(true);
    m_timer.setInterval(interval);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { tick(); });
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

void QtLinkTimer::tick()
{
    // Started again before the handler runs, so that the handler may disable it.
    m_timer.start();
    m_onTick();
}

} // namespace clampmeter
