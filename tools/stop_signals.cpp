// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "stop_signals.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace clampmeter::cli {
namespace {

// A signal handler can reach nothing but a global; a lock-free atomic is safe to set there.
std::atomic<bool> g_stopRequested {false};
static_assert(std::atomic<bool>::is_always_lock_free);

// Short enough that a stop feels immediate, even when the signal lands on another thread
// and so does not interrupt this thread's sleep.
constexpr std::chrono::milliseconds kPollSlice {20};

// The write end of the wake pipe, or -1. Set before the handler is installed.
std::atomic<int> g_wakeWrite {-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void requestStop(int /*signal*/)
{
    g_stopRequested.store(true);
    // write() is safe in a signal handler; it must not change errno for the code it cut into.
    const int savedErrno = errno;
    if (const int fd = g_wakeWrite.load(); fd >= 0) {
        const ssize_t written = ::write(fd, "s", 1);
        static_cast<void>(written); // a full pipe has a wake-up waiting already
    }
    errno = savedErrno;
}

} // namespace

StopSignals::StopSignals()
{
    g_stopRequested.store(false);
    std::array<int, 2> wake {-1, -1};
    if (::pipe2(wake.data(), O_CLOEXEC | O_NONBLOCK) == 0) {
        m_wakeRead = wake[0];
        g_wakeWrite.store(wake[1]);
    }
    struct sigaction action { };
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking call returns with EINTR so the stop is seen promptly.
    action.sa_flags = 0;
    sigaction(SIGINT, &action, &m_previousInterrupt);
    sigaction(SIGTERM, &action, &m_previousTerminate);
}

StopSignals::~StopSignals()
{
    sigaction(SIGINT, &m_previousInterrupt, nullptr);
    sigaction(SIGTERM, &m_previousTerminate, nullptr);
    if (const int fd = g_wakeWrite.exchange(-1); fd >= 0)
        ::close(fd);
    if (m_wakeRead >= 0)
        ::close(m_wakeRead);
}

bool StopSignals::stopRequested() const
{
    return g_stopRequested.load();
}

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

} // namespace clampmeter::cli
