// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <csignal>
#include <string>
#include <string_view>

namespace clampmeter {

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

    /// Why an event loop cannot be woken by a stop request (then only stopRequested() tells);
    /// empty when it can.
    const std::string& wakeFailure() const { return m_wakeFailure; }

#ifdef _WIN32
    /// What the user does to request a stop, in a message.
    static constexpr std::string_view kRequests = "Ctrl+C and Ctrl+Break";

    /// An event that is set when a stop is requested, for an event loop to watch (a HANDLE);
    /// null when none could be made.
    void* wakeEvent() const
    {
        return m_wakeEvent;
    }
#else
    static constexpr std::string_view kRequests = "Ctrl+C and SIGTERM";

    /// A descriptor that becomes readable when a stop is requested, for an event loop to
    /// watch; -1 when none could be made.
    int wakeDescriptor() const
    {
        return m_wakeRead;
    }
#endif

private:
#ifdef _WIN32
    void* m_wakeEvent = nullptr;
#else
    struct sigaction m_previousInterrupt { };
    struct sigaction m_previousTerminate { };
    int m_wakeRead = -1;
#endif
    std::string m_wakeFailure;
};

} // namespace clampmeter
