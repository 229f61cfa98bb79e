// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/link_timer.h"

#include <QTimer>

#include <chrono>
#include <functional>

namespace clampmeter {

/// A LinkTimer on a QTimer of the user-interface thread. Precise timing: a coarse
/// QTimer may be 5 % late, which would make the watchdog's two seconds 2.1.
///
/// Every interval counts from the tick before it, however late that tick ran: a tick held
/// back by a busy thread is followed by a whole interval, never by the rest of one.
class QtLinkTimer final : public LinkTimer {
public:
    QtLinkTimer(std::chrono::milliseconds interval, std::function<void()> onTick);

    void enable() override;
    void disable() override;
    bool isEnabled() const override;

private:
    void tick();

    QTimer m_timer;
    std::function<void()> m_onTick;
};

} // namespace clampmeter
