// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// clampmeter-cli log and ports on a machine of their own: in a private mount namespace,
// /sys/class/tty is a fake tree that this test changes while they run, and two pseudo-
// terminals stand in for the bridge's device under two names. Needs root (unshare -m).

#include "cli_process.h"
#include "link/bridge_lookup.h"
#include "platform/pseudo_terminal.h"
#include "simulator/frame_encoder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <grp.h>
#include <random>
#include <sys/stat.h>
#include <termios.h>

namespace clampmeter::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::ChildProcess;
using test::fileText;
using test::occurrences;
using test::textLines;
using test::waitFor;

constexpr auto kPatience = 15s;
constexpr auto kQuiet = 150ms;

// A bind mount needs a target: /dev/tty and /dev/console exist on every Linux machine, so
// inside the namespace they become the bridge's device under its first and its second name.
constexpr std::array<const char*, 2> kBridgeNames {"tty", "console"};

bool mountNamespacesPermitted()
{
    return ::geteuid() == 0
        && std::system("unshare -m sh -c 'mount --bind /tmp /mnt' >/dev/null 2>&1") == 0;
}

bool lineAt2400(const PseudoTerminal& pty)
{
    termios settings {};
    ::tcgetattr(pty.masterFd(), &settings);
    return ::cfgetispeed(&settings) == B2400;
}

class CliInNamespace : public testing::Test {
protected:
    void SetUp() override
    {
        if (!mountNamespacesPermitted())
            GTEST_SKIP() << "needs root and permission for mount namespaces (unshare -m)";
        m_root = fs::temp_directory_path()
            / ("clampmeter-cli-ns-" + std::to_string(std::random_device {}()));
        fs::create_directories(m_root / "tty");
        for (const char* driver : {"cp210x", "serial8250"})
            fs::create_directories(m_root / "drivers" / driver);
        addDevice("ttyS0", "serial8250");
        for (auto& pty : m_ptys) {
            pty = PseudoTerminal::open();
            ASSERT_TRUE(pty.has_value());
        }
    }
    void TearDown() override
    {
        m_process.reset();
        if (!m_root.empty())
            fs::remove_all(m_root);
    }

    void addDevice(const std::string& name, const std::string& driver)
    {
        fs::create_directories(m_root / "tty" / name / "device");
        fs::create_directory_symlink(
            m_root / "drivers" / driver, m_root / "tty" / name / "device" / "driver");
    }
    void addBridge(std::size_t which) { addDevice(kBridgeNames.at(which), "cp210x"); }
    void removeBridge(std::size_t which)
    {
        fs::remove_all(m_root / "tty" / kBridgeNames.at(which));
    }

    /// clampmeter-cli with `arguments` in the namespace, as the user and group of the number
    /// `asUser` when given.
    void start(const std::string& arguments, const std::string& asUser = {})
    {
        std::string script = "mount --bind '" + (m_root / "tty").string() + "' /sys/class/tty";
        // Serial port lock files of the namespace's own: a lock that a killed run left behind
        // (root's, which another user may not remove) never reaches the next run.
        script += " && { [ ! -d /run/lock ] || mount -t tmpfs -o mode=1777 tmpfs /run/lock; }";
        for (std::size_t n = 0; n < kBridgeNames.size(); ++n)
            script += " && mount --bind '" + m_ptys[n]->slavePath() + "' /dev/" + kBridgeNames[n];
        script += " && exec ";
        std::string program = CLAMPMETER_CLI_PATH;
        if (!asUser.empty()) {
            script += "setpriv --reuid=" + asUser + " --regid=" + asUser + " --clear-groups ";
            // The build folder may be closed to other users (a clone in /root): they run a
            // copy from this test's own folder, open to all.
            const fs::path copy = m_root / "clampmeter-cli";
            fs::copy_file(program, copy, fs::copy_options::overwrite_existing);
            fs::permissions(m_root,
                fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
                    | fs::perms::others_read | fs::perms::others_exec);
            program = copy.string();
        }
        script += "'" + program + "' " + arguments;
        m_process = std::make_unique<ChildProcess>(
            std::vector<std::string> {"unshare", "-m", "sh", "-c", script}, out(), err());
        ASSERT_TRUE(m_process->started());
    }

    std::string out() const { return (m_root / "out").string(); }
    std::string err() const { return (m_root / "err").string(); }
    std::string errText() const { return fileText(err()); }
    std::vector<std::string> outLines() const { return textLines(fileText(out())); }

    /// Frames numbered `first` … `first + count - 1` (byte 4), once the logger listens.
    void sendFrames(PseudoTerminal& pty, int first, int count)
    {
        ASSERT_TRUE(waitFor([&] { return lineAt2400(pty); }, kPatience)) << errText();
        std::this_thread::sleep_for(300ms); // the framing's first quiet tick
        for (int n = first; n < first + count; ++n) {
            ASSERT_TRUE(pty.write(encodeFrame({.number = static_cast<std::uint8_t>(n),
                .functionCode = 1,
                .mainValue = 200.0F + static_cast<float>(n)})));
            std::this_thread::sleep_for(kQuiet);
        }
    }

    fs::path m_root;
    std::array<std::optional<PseudoTerminal>, 2> m_ptys;
    std::unique_ptr<ChildProcess> m_process;
};

TEST_F(CliInNamespace, LoggingGoesOnWhenThePulledBridgeComesBackUnderAnotherName)
{
    addBridge(0);
    ASSERT_NO_FATAL_FAILURE(start("log --format csv"));
    ASSERT_NO_FATAL_FAILURE(sendFrames(*m_ptys[0], 0, 10));
    ASSERT_TRUE(waitFor([&] { return outLines().size() == 11; }, kPatience)) << errText();

    // The cable is pulled: the device leaves sysfs and its line hangs up.
    removeBridge(0);
    m_ptys[0]->hangUp();
    ASSERT_TRUE(
        waitFor([&] { return errText().find("went away") != std::string::npos; }, kPatience));
    std::this_thread::sleep_for(2500ms); // a few searches find nothing
    addBridge(1);
    ASSERT_NO_FATAL_FAILURE(sendFrames(*m_ptys[1], 10, 10));
    ASSERT_TRUE(waitFor([&] { return outLines().size() == 21; }, kPatience)) << errText();
    m_process->signal(SIGTERM);
    ASSERT_EQ(m_process->wait(), 0) << errText();

    const std::vector<std::string> lines = outLines();
    ASSERT_EQ(lines.size(), 21U);
    for (int n = 0; n < 20; ++n) {
        const std::string number = (n < 10 ? "0" : "") + std::to_string(n);
        EXPECT_TRUE(lines[n + 1].ends_with(",false,@1,false," + number)) << lines[n + 1];
        EXPECT_NE(
            lines[n + 1].find(",FUN_VAC," + std::to_string(200 + n) + ",v,"), std::string::npos)
            << lines[n + 1];
    }
    const std::string text = errText();
    EXPECT_EQ(occurrences(text, "reading the meter on /dev/tty\n"), 1U) << text;
    EXPECT_EQ(occurrences(text, "/dev/tty went away; looking for the bridge every second\n"), 1U)
        << text;
    EXPECT_EQ(occurrences(text, "no CP210x bridge found; still looking every second\n"), 1U)
        << "said once while missing\n"
        << text;
    EXPECT_EQ(occurrences(text, std::string(kNoBridgeMessage)), 0U)
        << "the start's words would tell to start again\n"
        << text;
    EXPECT_EQ(occurrences(text, "reading /dev/console again\n"), 1U) << text;
    EXPECT_EQ(occurrences(text, "data again after"), 1U) << text;
    EXPECT_NE(text.find("20 readings logged, 0 candidates rejected, 1 disconnection, "),
        std::string::npos)
        << text;
}

TEST_F(CliInNamespace, ABridgeMissingAtTheStartEndsTheRunUnlessItIsAwaited)
{
    ASSERT_NO_FATAL_FAILURE(start("log"));
    EXPECT_EQ(m_process->wait(), 1);
    EXPECT_EQ(errText(), "clampmeter-cli log: " + std::string(kNoBridgeMessage) + "\n");

    ASSERT_NO_FATAL_FAILURE(start("log --wait --format jsonl"));
    std::this_thread::sleep_for(2500ms);
    ASSERT_TRUE(m_process->running()) << errText();
    addBridge(0);
    ASSERT_NO_FATAL_FAILURE(sendFrames(*m_ptys[0], 0, 3));
    ASSERT_TRUE(waitFor([&] { return outLines().size() == 3; }, kPatience)) << errText();
    m_process->signal(SIGINT);
    EXPECT_EQ(m_process->wait(), 0);
    const std::string text = errText();
    EXPECT_EQ(occurrences(text, "no CP210x bridge found; still looking every second\n"), 1U)
        << text;
    EXPECT_EQ(occurrences(text, "reading the meter on /dev/tty\n"), 1U) << text;
}

TEST_F(CliInNamespace, PortsListsTheDevicesMarksTheBridgeAndSaysWhetherItOpens)
{
    ASSERT_NO_FATAL_FAILURE(start("ports"));
    EXPECT_EQ(m_process->wait(), 1);
    EXPECT_EQ(fileText(out()), "DEVICE      DRIVER\n/dev/ttyS0  serial8250\n");
    EXPECT_EQ(errText(), "clampmeter-cli ports: " + std::string(kNoBridgeMessage) + "\n");

    addBridge(0);
    addBridge(1);
    ASSERT_NO_FATAL_FAILURE(start("ports"));
    EXPECT_EQ(m_process->wait(), 0) << errText();
    EXPECT_EQ(fileText(out()),
        "DEVICE        DRIVER\n"
        "/dev/console  cp210x      <- the meter's bridge\n"
        "/dev/tty      cp210x\n"
        "/dev/ttyS0    serial8250\n"
        "\n"
        "clampmeter would use /dev/console, and this user can open it.\n");
    EXPECT_EQ(errText(), "");
}

TEST_F(CliInNamespace, PortsTellsAUserWhoCannotOpenTheBridgeWhyAndWhatToDo)
{
    if (std::system("command -v setpriv >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs setpriv (util-linux)";
    const group* dialout = ::getgrnam("dialout");
    if (dialout == nullptr)
        GTEST_SKIP() << "no group dialout here";
    // As on a real machine: the device belongs to root and the group dialout, mode 0660.
    ASSERT_EQ(::chown(m_ptys[0]->slavePath().c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(m_ptys[0]->slavePath().c_str(), 0660), 0);
    addBridge(0);

    ASSERT_NO_FATAL_FAILURE(start("ports", "65534")); // nobody
    EXPECT_EQ(m_process->wait(), 0) << errText();
    const std::string text = fileText(out());
    EXPECT_NE(text.find("/dev/tty    cp210x      <- the meter's bridge\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("clampmeter would use /dev/tty, but this user cannot open it.\n\n"
                        "Cannot open the meter's serial port /dev/tty: Permission denied.\n"),
        std::string::npos)
        << text;
    EXPECT_TRUE(text.ends_with("(dialout). Add it with\n\n    sudo usermod -aG dialout $USER\n\n"
                               "then log out and log in again.\n\nOr install the clampmeter "
                               "package: its udev rule (60-clampmeter.rules) gives the user at "
                               "the computer access to the bridge. If it is installed already, "
                               "unplug the meter and plug it in again.\n"))
        << text;
}

} // namespace
} // namespace clampmeter::cli
