// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/pseudo_terminal.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace clampmeter {
namespace {

std::vector<std::uint8_t> readAvailable(int fd, std::size_t expected)
{
    std::vector<std::uint8_t> got;
    std::array<std::uint8_t, 512> buffer {};
    pollfd p {fd, POLLIN, 0};
    while (got.size() < expected && ::poll(&p, 1, 2000) > 0) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n <= 0)
            break;
        got.insert(got.end(), buffer.begin(), buffer.begin() + n);
    }
    return got;
}

TEST(PseudoTerminal, PassesEveryByteValueUnchangedAndWithoutEcho)
{
    auto pty = PseudoTerminal::open();
    ASSERT_TRUE(pty.has_value());
    std::vector<std::uint8_t> all(256);
    for (int i = 0; i < 256; ++i)
        all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);

    ASSERT_TRUE(pty->write(all));
    for (int tries = 0; tries < 200 && pty->unreadBytes() != 256; ++tries)
        ::usleep(5000); // the line hands bytes over a moment after the write
    EXPECT_EQ(pty->unreadBytes(), 256);

    const int reader = ::open(pty->slavePath().c_str(), O_RDONLY | O_NOCTTY);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(readAvailable(reader, all.size()), all);
    EXPECT_EQ(pty->unreadBytes(), 0);
    pollfd echo {pty->masterFd(), POLLIN, 0};
    EXPECT_EQ(::poll(&echo, 1, 50), 0) << "bytes were echoed back to the writer";
    ::close(reader);
}

TEST(PseudoTerminal, HangUpEndsTheReadersLine)
{
    auto pty = PseudoTerminal::open();
    ASSERT_TRUE(pty.has_value());
    const int reader = ::open(pty->slavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(reader, 0);

    pty->hangUp();

    std::array<std::uint8_t, 8> buffer {};
    const ssize_t n = ::read(reader, buffer.data(), buffer.size());
    EXPECT_TRUE(n == 0 || (n < 0 && errno == EIO)) << "read returned " << n;
    EXPECT_FALSE(pty->write(buffer));
    ::close(reader);
}

/// The errno of opening `path` as an ordinary user (0 when it opened), in a child that drops
/// to nobody when the test runs as root: root may open a line another reader claimed. With
/// `claimAndDie` the child claims the line and ends without giving it up, as a killed reader.
int openAsOrdinaryUser(const std::string& path, bool claimAndDie = false)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(250);
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        if (fd < 0)
            ::_exit(errno);
        if (claimAndDie && ::ioctl(fd, TIOCEXCL) != 0)
            ::_exit(251);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 252;
}

void waitUntilUnread(const PseudoTerminal& pty, int bytes)
{
    for (int tries = 0; tries < 200 && pty.unreadBytes() != bytes; ++tries)
        ::usleep(5000);
}

TEST(PseudoTerminal, AClaimLeftByAKilledReaderGoesOnceWhatWasWrittenStaysUnread)
{
    auto pty = PseudoTerminal::open();
    ASSERT_TRUE(pty.has_value());
    ASSERT_EQ(::chmod(pty->slavePath().c_str(), 0666), 0);
    ASSERT_EQ(openAsOrdinaryUser(pty->slavePath(), true), 0);
    EXPECT_TRUE(pty->claimed());
    ASSERT_EQ(openAsOrdinaryUser(pty->slavePath()), EBUSY) << "the dead reader's claim holds";

    const std::array<std::uint8_t, 17> frame {};
    ASSERT_TRUE(pty->write(frame));
    waitUntilUnread(*pty, 17);
    EXPECT_EQ(openAsOrdinaryUser(pty->slavePath()), EBUSY) << "cleared before anything waited";
    ASSERT_TRUE(pty->write(frame));
    EXPECT_FALSE(pty->claimed());
    EXPECT_EQ(openAsOrdinaryUser(pty->slavePath()), 0);
}

TEST(PseudoTerminal, AReaderThatReadsKeepsItsClaim)
{
    auto pty = PseudoTerminal::open();
    ASSERT_TRUE(pty.has_value());
    ASSERT_EQ(::chmod(pty->slavePath().c_str(), 0666), 0);
    const int reader = ::open(pty->slavePath().c_str(), O_RDONLY | O_NOCTTY);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(::ioctl(reader, TIOCEXCL), 0);

    const std::array<std::uint8_t, 17> frame {};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(pty->write(frame));
        EXPECT_EQ(readAvailable(reader, frame.size()).size(), frame.size());
        waitUntilUnread(*pty, 0);
    }
    EXPECT_EQ(openAsOrdinaryUser(pty->slavePath()), EBUSY);
    ::close(reader);
}

} // namespace
} // namespace clampmeter
