// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/stop_signals.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace clampmeter {
namespace {

// A signal handler can reach nothing but a global; a lock-free atomic is safe to set there.
std::atomic<bool> g_stopRequested {false};
static_assert(std::atomic<bool>::is_always_lock_free);

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
    } else {
        m_wakeFailure = std::strerror(errno);
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

} // namespace clampmeter
