// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "burst_outlet.h"

#include "platform/pseudo_terminal.h"
#include "platform/stop_signals.h"
#include "simulator/meter_simulator.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <ostream>
#include <poll.h>
#include <string_view>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace clampmeter::cli {
namespace {

using namespace std::chrono_literals;

// About 60 frames. Nobody reads that far behind: the bytes pile up only while no program
// has the port open, and a real line loses such bytes too. Dropping them also keeps the
// writer from blocking on a full pseudo-terminal, where a stop would go unnoticed.
constexpr int kMostUnreadBytes = 1024;
// How long the line stays up after the last burst for a reader to take the rest: closing
// the master side throws away whatever the slave side has not read yet.
constexpr auto kLingerAfterLast = 5s;
constexpr auto kLingerPoll = 20ms;
// How often a full slave queue is dropped before the line counts as gone (about 2 s).
constexpr int kMostFullTries = 100;
constexpr std::string_view kLineGone = "the line went away";

std::string systemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

class PtyOutlet final : public BurstOutlet {
public:
    PtyOutlet(PseudoTerminal pty, int probe)
        : m_pty(std::move(pty))
        , m_probe(probe)
    {
    }
    PtyOutlet(const PtyOutlet&) = delete;
    PtyOutlet& operator=(const PtyOutlet&) = delete;
    ~PtyOutlet() override { ::close(m_probe); }

    bool write(std::span<const std::uint8_t> bytes) override
    {
        if (unreadBytes() > kMostUnreadBytes)
            ::tcflush(m_probe, TCIFLUSH);
        std::size_t done = 0;
        int fullTries = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_pty.masterFd(), bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n < 0 && errno == EAGAIN && ++fullTries <= kMostFullTries) {
                // The count above lags behind bytes still on their way to the slave side,
                // so its queue can fill up anyway. Nobody is reading: drop it.
                ::tcflush(m_probe, TCIFLUSH);
                pollfd writable {m_pty.masterFd(), POLLOUT, 0};
                ::poll(&writable, 1, static_cast<int>(kLingerPoll.count()));
            } else if (n >= 0 || errno != EINTR) {
                return false;
            }
        }
        // The kernel passes the bytes on at once, whatever the baud rate: the time they
        // would take on the line is kept here, as DeviceOutlet's drain does on a real one.
        std::this_thread::sleep_for(timeOnLine(bytes.size()));
        return true;
    }

    bool finish(const StopSignals& stop) override
    {
        // The first poll comes after a pause: the last bytes may still be on their way
        // from the master side to the slave's input queue, where they are counted.
        const auto deadline = std::chrono::steady_clock::now() + kLingerAfterLast;
        while (std::chrono::steady_clock::now() < deadline && stop.pause(kLingerPoll)) {
            if (unreadBytes() == 0)
                break;
        }
        return true;
    }

    std::string failure() const override { return std::string(kLineGone); }

private:
    int unreadBytes() const
    {
        int waiting = 0;
        return ::ioctl(m_probe, FIONREAD, &waiting) == 0 ? waiting : 0;
    }

    PseudoTerminal m_pty;
    // A second descriptor of the slave side, never read: it only counts and drops what
    // the reader has not taken.
    int m_probe;
};

class DeviceOutlet final : public BurstOutlet {
public:
    explicit DeviceOutlet(int fd)
        : m_fd(fd)
    {
    }
    DeviceOutlet(const DeviceOutlet&) = delete;
    DeviceOutlet& operator=(const DeviceOutlet&) = delete;
    ~DeviceOutlet() override { ::close(m_fd); }

    bool write(std::span<const std::uint8_t> bytes) override
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += static_cast<std::size_t>(n);
        }
        // The gap is timed from the moment the last byte has left the line, not from
        // when it was queued: at 2400 baud a frame takes 71 ms to send.
        int drained = 0;
        while ((drained = ::tcdrain(m_fd)) != 0 && errno == EINTR) { }
        return drained == 0;
    }

    bool finish(const StopSignals& /*stop*/) override { return true; }

    std::string failure() const override { return std::string(kLineGone); }

private:
    int m_fd;
};

bool setLine2400Raw(int fd)
{
    termios line {};
    if (::tcgetattr(fd, &line) != 0)
        return false;
    ::cfmakeraw(&line);
    line.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    // CLOCAL: no modem lines on a null-modem cable, so do not wait for carrier.
    line.c_cflag |= CS8 | CLOCAL | CREAD;
    line.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    if (::cfsetispeed(&line, B2400) != 0 || ::cfsetospeed(&line, B2400) != 0)
        return false;
    return ::tcsetattr(fd, TCSANOW, &line) == 0;
}

} // namespace

OpenedOutlet openPtyOutlet(std::string& slavePath)
{
    std::optional<PseudoTerminal> pty = PseudoTerminal::open();
    if (!pty)
        return systemError("cannot create a pseudo-terminal");
    const int probe
        = ::open(pty->slavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (probe < 0)
        return systemError("cannot open " + pty->slavePath());
    // Non-blocking, so that a full slave queue is noticed and dropped instead of waited on.
    ::fcntl(pty->masterFd(), F_SETFL, ::fcntl(pty->masterFd(), F_GETFL) | O_NONBLOCK);
    slavePath = pty->slavePath();
    return std::make_unique<PtyOutlet>(std::move(*pty), probe);
}

OpenedOutlet openDeviceOutlet(const std::string& path)
{
    // Opened without blocking, so that a port with no carrier does not hold us up before
    // CLOCAL is set; writes block again afterwards.
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return systemError("cannot open " + path);
    if (::isatty(fd) == 0) {
        ::close(fd);
        return path + " is not a serial device";
    }
    if (!setLine2400Raw(fd)) {
        const std::string reason = systemError("cannot set " + path + " to 2400 baud 8N1");
        ::close(fd);
        return reason;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    ::tcflush(fd, TCOFLUSH);
    return std::make_unique<DeviceOutlet>(fd);
}

} // namespace clampmeter::cli
