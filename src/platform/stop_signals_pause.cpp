// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Waiting that a stop request cuts short, the same on every platform.

#include "platform/stop_signals.h"

#include <algorithm>
#include <thread>

namespace clampmeter {
namespace {

// Short enough that a stop feels immediate, even when the signal lands on another thread
// and so does not interrupt this thread's sleep.
constexpr std::chrono::milliseconds kPollSlice {20};

} // namespace

bool StopSignals::pause(std::chrono::milliseconds duration) const
{
    const auto deadline = std::chrono::steady_clock::now() + duration;
    for (;;) {
        if (stopRequested())
            return false;
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero())
            return true;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(left, kPollSlice));
    }
}

} // namespace clampmeter
