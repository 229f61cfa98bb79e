// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/pseudo_terminal.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace clampmeter {

std::optional<PseudoTerminal> PseudoTerminal::open()
{
    int master = -1;
    int slave = -1;
    char name[PATH_MAX] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return std::nullopt;
    termios raw {};
    if (::tcgetattr(slave, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    return PseudoTerminal(master, slave, name);
}

PseudoTerminal::PseudoTerminal(int master, int slave, std::string slavePath)
    : m_master(master)
    , m_slave(slave)
    , m_slavePath(std::move(slavePath))
{
}

PseudoTerminal::PseudoTerminal(PseudoTerminal&& other) noexcept
    : m_master(std::exchange(other.m_master, -1))
    , m_slave(std::exchange(other.m_slave, -1))
    , m_slavePath(std::move(other.m_slavePath))
{
}

PseudoTerminal& PseudoTerminal::operator=(PseudoTerminal&& other) noexcept
{
    if (this != &other) {
        hangUp();
        m_master = std::exchange(other.m_master, -1);
        m_slave = std::exchange(other.m_slave, -1);
        m_slavePath = std::move(other.m_slavePath);
    }
    return *this;
}

PseudoTerminal::~PseudoTerminal()
{
    hangUp();
}

bool PseudoTerminal::write(std::span<const std::uint8_t> bytes)
{
    if (unreadBytes() > 0)
        ::ioctl(m_slave, TIOCNXCL);
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (m_master < 0)
            return false;
        const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

int PseudoTerminal::unreadBytes() const
{
    int waiting = -1;
    if (m_slave < 0 || ::ioctl(m_slave, FIONREAD, &waiting) != 0)
        return -1;
    return waiting;
}

bool PseudoTerminal::claimed() const
{
#ifdef TIOCGEXCL
    int exclusive = 0;
    return m_slave >= 0 && ::ioctl(m_slave, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
#else
    return false;
#endif
}

void PseudoTerminal::hangUp()
{
    if (m_slave >= 0)
        ::close(std::exchange(m_slave, -1));
    if (m_master >= 0)
        ::close(std::exchange(m_master, -1));
}

} // namespace clampmeter
