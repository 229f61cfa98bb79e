// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "log/link_watch.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>

namespace clampmeter::cli {

/// Readings in the last minute, for the status line.
class RateWindow {
public:
    using Clock = std::chrono::steady_clock;

    void add(Clock::time_point at);
    /// Readings logged in the minute up to `now`.
    std::size_t perMinute(Clock::time_point now);

private:
    // Drops the times a minute or more before `now`.
    void forgetBefore(Clock::time_point now);

    std::deque<Clock::time_point> m_times;
};

/// What the status line shows.
struct LogStatus {
    std::string lastTime; ///< "14:03:07", empty before the first reading
    std::string lastMain; ///< "229.8"
    std::string lastUnit; ///< "v"
    std::uint64_t readings = 0;
    std::size_t perMinute = 0;
    LinkState state = LinkState::Searching;
    std::string port; ///< empty while no port has been opened
    std::string broker; ///< "broker online", …; empty without a broker
};

/// One line for a terminal `width` columns wide, cut to fewer columns than that (a line that
/// fills the last column would wrap):
/// "14:03:07 229.8 v | 1234 readings | 117/min | receiving on /dev/ttyUSB0", and with a
/// broker " | broker online".
std::string statusLine(const LogStatus& status, std::size_t width);

} // namespace clampmeter::cli
