// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The real clampmeter executable on a machine of its own: in a private mount namespace,
// /sys/class/tty is a fake tree listing one cp210x tty, whose /dev node leads to a
// pseudo-terminal that this test writes frames to. Needs root (unshare -m).

#include "link/frame_encoder.h"
#include "platform/pseudo_terminal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace clampmeter {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// /dev/tty exists on every Linux machine, so it can stand in for the bridge's device node:
// inside the namespace the pseudo-terminal is bound over it.
constexpr const char* kBridgeTty = "tty";

bool mountNamespacesPermitted()
{
    return ::geteuid() == 0
        && std::system("unshare -m sh -c 'mount --bind /tmp /mnt' >/dev/null 2>&1") == 0;
}

/// Polls `done` every 20 ms until it holds or `limit` has passed.
template <typename Predicate> bool waitFor(Predicate done, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

class ProgramInNamespace : public testing::Test {
protected:
    void SetUp() override
    {
        if (!mountNamespacesPermitted())
            GTEST_SKIP() << "needs root and permission for mount namespaces (unshare -m)";
        m_root = fs::temp_directory_path()
            / ("clampmeter-ns-" + std::to_string(std::random_device {}()));
        fs::create_directories(m_root / "tty" / kBridgeTty / "device");
        fs::create_directories(m_root / "drivers" / "cp210x");
        fs::create_directory_symlink(
            m_root / "drivers" / "cp210x", m_root / "tty" / kBridgeTty / "device" / "driver");
        m_pty = PseudoTerminal::open();
        ASSERT_TRUE(m_pty.has_value());
    }

    void TearDown() override
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (!m_root.empty())
            fs::remove_all(m_root);
    }

    void startProgram()
    {
        const std::string script = "mount --bind '" + (m_root / "tty").string()
            + "' /sys/class/tty && mount --bind '" + m_pty->slavePath() + "' /dev/" + kBridgeTty
            + " && exec '" CLAMPMETER_EXECUTABLE "'";
        m_pid = ::fork();
        ASSERT_GE(m_pid, 0);
        if (m_pid == 0) {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            ::execlp("unshare", "unshare", "-m", "sh", "-c", script.c_str(),
                static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }

    bool running() const { return ::waitpid(m_pid, nullptr, WNOHANG) == 0; }

    speed_t lineSpeed() const
    {
        termios settings {};
        ::tcgetattr(m_pty->masterFd(), &settings);
        return ::cfgetispeed(&settings);
    }

    int unreadBytes() const { return m_pty->unreadBytes(); }

    fs::path m_root;
    std::optional<PseudoTerminal> m_pty;
    pid_t m_pid = -1;
};

TEST_F(ProgramInNamespace, FindsTheFakeBridgeOpensItAt2400AndReadsTheMeter)
{
    ASSERT_NE(lineSpeed(), B2400);
    const EncodedFrame early = encodeFrame({.functionCode = 1, .mainValue = 230.0F});
    ASSERT_TRUE(m_pty->write(early));
    ASSERT_TRUE(waitFor([&] { return unreadBytes() == 17; }, 2s))
        << "bytes reach the line within moments, and nobody reads them before the start";

    startProgram();

    ASSERT_TRUE(waitFor([&] { return lineSpeed() == B2400; }, 20s))
        << "the program never set the bridge's line to 2400 baud";
    EXPECT_TRUE(waitFor([&] { return unreadBytes() == 0; }, 5s))
        << "the program left the bytes waiting on its line";

    for (int n = 0; n < 5; ++n) {
        const EncodedFrame frame = encodeFrame(
            {.number = static_cast<std::uint8_t>(n), .functionCode = 1, .mainValue = 229.9F});
        ASSERT_TRUE(m_pty->write(frame));
        std::this_thread::sleep_for(100ms); // the line has delivered them by now
        EXPECT_TRUE(waitFor([&] { return unreadBytes() == 0; }, 5s))
            << "frame " << n << " was not read";
        std::this_thread::sleep_for(100ms);
    }
    std::this_thread::sleep_for(2500ms); // past the watchdog's two seconds
    EXPECT_TRUE(running()) << "the program ended";
}

} // namespace
} // namespace clampmeter
