// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <csignal>

namespace clampmeter::cli {

/// While one of these lives, SIGINT and SIGTERM no longer end the process: they raise a
/// flag that a long-running command polls, so it can finish its output and exit cleanly.
/// The previous handlers come back when it is destroyed. One at a time per process.
/// On Windows a console control handler takes Ctrl+C, Ctrl+Break and closing the console.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    /// True once SIGINT or SIGTERM has arrived.
    bool stopRequested() const;

    /// Waits for `duration`, waking early when a stop is requested; false when stopped.
    bool pause(std::chrono::milliseconds duration) const;

    /// A descriptor that becomes readable when a stop is requested, for an event loop to
    /// watch; -1 when none could be made (then only stopRequested() tells).
    int wakeDescriptor() const { return m_wakeRead; }

private:
#ifndef _WIN32
    struct sigaction m_previousInterrupt { };
    struct sigaction m_previousTerminate { };
#endif
    int m_wakeRead = -1;
};

} // namespace clampmeter::cli
