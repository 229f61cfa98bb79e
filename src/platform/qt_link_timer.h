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
class QtLinkTimer final : public LinkTimer {
public:
    QtLinkTimer(std::chrono::milliseconds interval, std::function<void()> onTick);

    void enable() override;
    void disable() override;
    bool isEnabled() const override;

private:
    QTimer m_timer;
};

} // namespace clampmeter
