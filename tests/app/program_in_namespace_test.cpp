// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The real clampmeter executable on a machine of its own: in a private mount namespace,
// /sys/class/tty is a fake tree listing one cp210x tty, whose /dev node leads to a
// pseudo-terminal that this test writes frames to. Needs root (unshare -m). One test runs the
// program on an Xvfb display and works its windows with xdotool, as a user would.

#include "platform/pseudo_terminal.h"
#include "simulator/frame_encoder.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace clampmeter {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// /dev/tty exists on every Linux machine, so it can stand in for the bridge's device node:
// inside the namespace the pseudo-terminal is bound over it.
constexpr const char* kBridgeTty = "tty";
// The name the bridge comes back under when it is plugged in elsewhere; /dev/console, too,
// exists everywhere.
constexpr const char* kSecondTty = "console";

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

bool onPath(const std::string& tool)
{
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

/// Runs a shell command and returns what it printed, or nothing if it failed.
std::optional<std::string> output(const std::string& command)
{
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return std::nullopt;
    std::string text;
    std::array<char, 256> buffer {};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr)
        text += buffer.data();
    if (::pclose(pipe) != 0)
        return std::nullopt;
    return text;
}

std::vector<std::string> split(const std::string& text, const std::string& separator)
{
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at = text.find(separator); at != std::string::npos;
         at = text.find(separator, from)) {
        parts.push_back(text.substr(from, at - from));
        from = at + separator.size();
    }
    parts.push_back(text.substr(from));
    return parts;
}

/// Starts `argv` in a child of its own; returns its pid, or -1.
pid_t spawn(const std::vector<std::string>& argv)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        const int devNull = ::open("/dev/null", O_RDWR);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    return pid;
}

void stop(pid_t& pid)
{
    if (pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

/// A window's picture as the X server shows it, read from a binary PPM that imagemagick's
/// import writes.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::string rgb; // three bytes a pixel, row by row

    bool isRed(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return false;
        const std::size_t at = 3 * (static_cast<std::size_t>(y) * width + x);
        return static_cast<unsigned char>(rgb[at]) > 200
            && static_cast<unsigned char>(rgb[at + 1]) < 60
            && static_cast<unsigned char>(rgb[at + 2]) < 60;
    }
    bool redNear(int x, int y) const
    {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (isRed(x + dx, y + dy))
                    return true;
        return false;
    }
};

std::optional<Screenshot> readPpm(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    Screenshot shot;
    int maximum = 0;
    in >> magic >> shot.width >> shot.height >> maximum;
    in.get();
    if (!in || magic != "P6" || maximum != 255)
        return std::nullopt;
    shot.rgb.resize(static_cast<std::size_t>(shot.width) * shot.height * 3);
    in.read(shot.rgb.data(), static_cast<std::streamsize>(shot.rgb.size()));
    return in ? std::optional<Screenshot>(std::move(shot)) : std::nullopt;
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
        stop(m_pid);
        stop(m_windowManager);
        stopXServer(m_display);
        if (!m_root.empty())
            fs::remove_all(m_root);
    }

    /// Starts Xvfb on the first free display from :90 on, and openbox if it is installed.
    void startXServer()
    {
        for (int number = 90; number < 140 && m_display.empty(); ++number) {
            const std::string name = ":" + std::to_string(number);
            if (fs::exists("/tmp/.X11-unix/X" + std::to_string(number))
                || fs::exists("/tmp/.X" + std::to_string(number) + "-lock"))
                continue;
            m_xServer = spawn({"Xvfb", name, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
            ASSERT_GT(m_xServer, 0);
            bool ended = false; // it lost the display to another server
            const bool up = waitFor(
                [&] {
                    ended = ::waitpid(m_xServer, nullptr, WNOHANG) != 0;
                    return ended
                        || output("DISPLAY=" + name + " xdotool getdisplaygeometry 2>/dev/null")
                               .has_value();
                },
                20s);
            if (up && !ended)
                m_display = name;
            else if (ended)
                m_xServer = -1;
            else
                stopXServer(name); // it never came up
        }
        ASSERT_FALSE(m_display.empty()) << "no Xvfb display could be started";
        if (onPath("openbox"))
            m_windowManager = spawn({"env", "DISPLAY=" + m_display, "openbox", "--sm-disable"});
    }

    /// Ends Xvfb (serving display `name`, ":N") with SIGTERM, so that it removes its lock
    /// file and socket.
    void stopXServer(const std::string& name)
    {
        if (m_xServer <= 0)
            return;
        ::kill(m_xServer, SIGTERM);
        if (!waitFor([&] { return ::waitpid(m_xServer, nullptr, WNOHANG) != 0; }, 5s)) {
            stop(m_xServer);
            const std::string number = name.substr(1);
            fs::remove("/tmp/.X" + number + "-lock");
            fs::remove("/tmp/.X11-unix/X" + number);
        }
        m_xServer = -1;
    }

    /// xdotool on the test's display; what it printed, or nothing if it failed.
    std::optional<std::string> xdotool(const std::string& arguments) const
    {
        return output("DISPLAY=" + m_display + " xdotool " + arguments + " 2>/dev/null");
    }

    /// The id of the visible window named exactly `title`, waiting up to 20 s for it.
    std::string windowNamed(const std::string& title, std::chrono::milliseconds timeout = 20s) const
    {
        std::string id;
        waitFor(
            [&] {
                const auto found = xdotool("search --onlyvisible --name '^" + title + "$'");
                if (!found || found->empty())
                    return false;
                id = split(*found, "\n").front();
                return true;
            },
            timeout);
        return id;
    }

    /// The id of the visible window named `title` whose size is `size` ("693x668").
    std::string windowNamed(const std::string& title, const std::string& size) const
    {
        std::string id;
        waitFor(
            [&] {
                const auto found = xdotool("search --onlyvisible --name '^" + title + "$'");
                for (const std::string& candidate : split(found.value_or(""), "\n")) {
                    const auto geometry = xdotool("getwindowgeometry " + candidate);
                    if (!candidate.empty() && geometry
                        && geometry->find("Geometry: " + size) != std::string::npos) {
                        id = candidate;
                        return true;
                    }
                }
                return false;
            },
            20s);
        return id;
    }

    /// Clicks at the window-local pixel (x, y) of window `id`.
    bool clickAt(const std::string& id, int x, int y) const
    {
        return xdotool("mousemove --window " + id + " " + std::to_string(x) + " "
            + std::to_string(y) + " click 1")
            .has_value();
    }

    void startProgram()
    {
        // The port's lock file goes to a lock folder of the namespace's own, so that the
        // program, killed at the end, leaves none on the machine.
        const std::string script = "mount --bind '" + (m_root / "tty").string()
            + "' /sys/class/tty && mount --bind '" + m_pty->slavePath() + "' /dev/" + kBridgeTty
            + (m_second ? " && mount --bind '" + m_second->slavePath() + "' /dev/" + kSecondTty
                        : std::string())
            + " && { [ ! -d /run/lock ] || mount -t tmpfs -o mode=1777 tmpfs /run/lock; }"
            + " && exec '" CLAMPMETER_EXECUTABLE "'";
        m_pid = ::fork();
        ASSERT_GE(m_pid, 0);
        if (m_pid == 0) {
            // Its session journals stay in the test's own folder.
            ::setenv("XDG_STATE_HOME", (m_root / "state").c_str(), 1);
            if (m_display.empty()) {
                ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            } else {
                ::setenv("QT_QPA_PLATFORM", "xcb", 1);
                ::setenv("DISPLAY", m_display.c_str(), 1);
                ::unsetenv("QT_QPA_PLATFORMTHEME"); // Qt's own file dialog, not a desktop's
                ::unsetenv("XDG_CURRENT_DESKTOP");
            }
            ::execlp("unshare", "unshare", "-m", "sh", "-c", script.c_str(),
                static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }

    bool running() const { return ::waitpid(m_pid, nullptr, WNOHANG) == 0; }

    /// Starts the program on the display and waits until its panel shows and it listens.
    std::string startOnDisplay()
    {
        startProgram();
        const std::string panel = windowNamed("KR-610");
        if (panel.empty() || !waitFor([&] { return lineSpeed() == B2400; }, 20s))
            return {};
        // Once open, the program throws away what the line brings until a quiet tick of its
        // 50 ms resynchronisation timer; only then does it listen for frames. Nothing outside
        // shows that moment, so the test leaves it ample time.
        std::this_thread::sleep_for(1s);
        return panel;
    }

    /// Sends frames of the values `first`, `first` + 1, … one at a time, each read before
    /// the next.
    void sendReadings(float first, int count) { sendReadingsOn(*m_pty, first, count); }
    static void sendReadingsOn(PseudoTerminal& pty, float first, int count)
    {
        for (int n = 0; n < count; ++n) {
            const EncodedFrame frame = encodeFrame({.number = static_cast<std::uint8_t>(n),
                .functionCode = 1,
                .mainValue = first + static_cast<float>(n)});
            ASSERT_TRUE(pty.write(frame));
            ASSERT_TRUE(waitFor([&] { return pty.unreadBytes() == 0; }, 5s))
                << "frame " << n << " was not read";
            std::this_thread::sleep_for(150ms); // quiet on the line, so the frame is cut here
        }
    }

    /// Clicks To Excel in the list window `list`, types `path` into the save dialog and saves.
    /// A busy machine can lose keys typed into a dialog that has only just appeared, so a
    /// dialog still open after the typing is typed into again, and one that closed without
    /// writing `path` is opened again; what was written instead is told.
    void exportThroughList(const std::string& list, const fs::path& path)
    {
        for (int attempt = 1; attempt <= 3; ++attempt) {
            if (attempt == 1 || windowNamed("Save", 1s).empty()) {
                ASSERT_TRUE(clickAt(list, 196, 144)); // To Excel
            }
            const std::string dialog = windowNamed("Save");
            ASSERT_FALSE(dialog.empty()) << "no save dialog opened";
            std::this_thread::sleep_for(300ms); // the dialog has its focus in the name field
            xdotool("windowactivate --sync " + dialog);
            xdotool("windowfocus --sync " + dialog);
            ASSERT_TRUE(xdotool("key --clearmodifiers ctrl+a").has_value());
            ASSERT_TRUE(xdotool("type --delay 5 '" + path.string() + "'").has_value());
            ASSERT_TRUE(xdotool("key Return").has_value());
            if (waitFor([&] { return fs::exists(path); }, 10s))
                return;
            const std::string written = filesUnder(m_root);
            std::cerr << "attempt " << attempt << ": nothing written to " << path
                      << "; files under the test's folder: " << written << "\n";
        }
        FAIL() << "nothing written to " << path << " after three attempts";
    }

    static std::string filesUnder(const fs::path& root)
    {
        std::string names;
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(root, error);
             it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it->is_regular_file(error))
                names += it->path().lexically_relative(root).string() + " ";
        }
        return names.empty() ? "none" : names;
    }

    /// The visible windows titled as the program ("KR-610"): its panel and its message boxes.
    std::size_t programWindows() const
    {
        const auto found = xdotool("search --onlyvisible --name '^KR-610$'");
        std::size_t count = 0;
        for (const std::string& id : split(found.value_or(""), "\n"))
            count += id.empty() ? 0 : 1;
        return count;
    }

    /// `clampmeter-cli` with the program's journal folder; what it printed.
    std::optional<std::string> cli(const std::string& arguments) const
    {
        return output("XDG_STATE_HOME='" + (m_root / "state").string()
            + "' '" CLAMPMETER_CLI_PATH "' " + arguments);
    }

    speed_t lineSpeed() const { return lineSpeedOf(*m_pty); }
    static speed_t lineSpeedOf(const PseudoTerminal& pty)
    {
        termios settings {};
        ::tcgetattr(pty.masterFd(), &settings);
        return ::cfgetispeed(&settings);
    }

    int unreadBytes() const { return m_pty->unreadBytes(); }

    /// The fake sysfs lists a cp210x tty of this name.
    void addBridge(const char* name)
    {
        fs::create_directories(m_root / "tty" / name / "device");
        fs::create_directory_symlink(
            m_root / "drivers" / "cp210x", m_root / "tty" / name / "device" / "driver");
    }

    /// CPU time the program has used so far, user and system, in seconds.
    double cpuSeconds() const
    {
        std::ifstream in("/proc/" + std::to_string(m_pid) + "/stat");
        std::string text {std::istreambuf_iterator<char>(in), {}};
        const std::vector<std::string> fields = split(text.substr(text.rfind(')') + 2), " ");
        // utime and stime are fields 14 and 15 of the line, 12 and 13 after the name.
        return (std::stod(fields.at(11)) + std::stod(fields.at(12)))
            / static_cast<double>(::sysconf(_SC_CLK_TCK));
    }

    fs::path m_root;
    std::optional<PseudoTerminal> m_pty;
    std::optional<PseudoTerminal> m_second; ///< bound at /dev/console when opened before start
    pid_t m_pid = -1;
    std::string m_display; ///< ":N" once startXServer has a display
    pid_t m_xServer = -1;
    pid_t m_windowManager = -1;
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

TEST_F(ProgramInNamespace, FramesFromTheLineReachTheListItsExportAndThePlotOnARealDisplay)
{
    if (!onPath("Xvfb") || !onPath("xdotool"))
        GTEST_SKIP() << "needs Xvfb and xdotool (scripts/bootstrap --dev installs them)";
    ASSERT_NO_FATAL_FAILURE(startXServer());
    const fs::path exported = m_root / "export" / "readings.xls";
    fs::create_directories(exported.parent_path());

    const std::string panel = startOnDisplay();
    ASSERT_FALSE(panel.empty()) << "the main panel never appeared or never opened the line";
    const std::vector<std::string> sent {"221.5", "222.5", "223.5", "224.5", "225.5"};
    ASSERT_NO_FATAL_FAILURE(sendReadings(221.5F, static_cast<int>(sent.size())));

    ASSERT_TRUE(clickAt(panel, 256, 476)); // List
    const std::string list = windowNamed("Data list — clampmeter");
    ASSERT_FALSE(list.empty()) << "List did not open the list window";
    ASSERT_NO_FATAL_FAILURE(exportThroughList(list, exported));
    std::ifstream in(exported, std::ios::binary);
    const std::string text {std::istreambuf_iterator<char>(in), {}};
    std::vector<std::string> lines = split(text, "\r\n");
    ASSERT_EQ(lines.back(), "") << "the export does not end with CR LF:\n" << text;
    lines.pop_back();
    ASSERT_EQ(lines.size(), sent.size() + 1) << text;
    EXPECT_EQ(lines.front(), "NO.;FUN;DATA;UNIT;Time;Date");
    for (std::size_t n = 0; n < sent.size(); ++n) {
        SCOPED_TRACE("record " + std::to_string(n + 1) + ": " + lines[n + 1]);
        const std::vector<std::string> fields = split(lines[n + 1], ";");
        ASSERT_EQ(fields.size(), 6U);
        EXPECT_EQ(fields[0], " " + std::to_string(n + 1));
        EXPECT_EQ(fields[1], "FUN_VAC");
        EXPECT_EQ(fields[2], sent[n]);
        EXPECT_EQ(fields[3], "v");
        EXPECT_FALSE(fields[4].empty()) << "no capture time";
        EXPECT_FALSE(fields[5].empty()) << "no capture date";
    }

    ASSERT_TRUE(clickAt(panel, 256, 500)); // Graph
    const std::string graph = windowNamed("Data graph — clampmeter", "693x668");
    ASSERT_FALSE(graph.empty()) << "Graph did not open the graph window";
    std::this_thread::sleep_for(500ms); // painted
    const fs::path shotFile = m_root / "graph.ppm";
    ASSERT_TRUE(output("DISPLAY=" + m_display + " import -window " + graph + " -depth 8 '"
        + shotFile.string() + "' 2>/dev/null")
                    .has_value());
    const std::optional<Screenshot> shot = readPpm(shotFile);
    ASSERT_TRUE(shot.has_value()) << "no screenshot of the graph window";
    // Reading n lands at x = 6n + 1, y = 543 - value / 600 * 540 of the plot box, whose
    // inside starts 65 pixels right and 81 down of the window's corner, 609 / 605 pixels a
    // unit across.
    for (std::size_t n = 0; n < sent.size(); ++n) {
        const double value = 221.5 + static_cast<double>(n);
        const int x = 65 + static_cast<int>(std::lround((6.0 * n + 1) * 609.0 / 605.0));
        const int y = 81 + static_cast<int>(std::lround(543.0 - value / 600.0 * 540.0));
        EXPECT_TRUE(shot->redNear(x, y))
            << "no dot for reading " << n + 1 << " at " << x << ", " << y;
    }
    EXPECT_FALSE(shot->redNear(65 + 200, 81 + 100)) << "red where no reading lies";
    EXPECT_TRUE(running()) << "the program ended";
}

TEST_F(ProgramInNamespace, APulledCableEndsNothingAndReadingsGoOnIntoTheSameLogUnderAnyName)
{
    if (!onPath("Xvfb") || !onPath("xdotool") || !onPath("nsenter"))
        GTEST_SKIP() << "needs Xvfb, xdotool and nsenter (scripts/bootstrap --dev installs them)";
    ASSERT_NO_FATAL_FAILURE(startXServer());
    m_second = PseudoTerminal::open();
    ASSERT_TRUE(m_second.has_value());
    const std::string panel = startOnDisplay();
    ASSERT_FALSE(panel.empty()) << "the program did not start listening on the display";
    ASSERT_NO_FATAL_FAILURE(sendReadings(201.5F, 2));

    // Pulled: the line hangs up. The program idles, looking once a second.
    m_pty->hangUp();
    std::this_thread::sleep_for(1s);
    const double before = cpuSeconds();
    std::this_thread::sleep_for(4s);
    EXPECT_LT(cpuSeconds() - before, 0.2) << "the program is busy while the cable is out";
    ASSERT_TRUE(running()) << "the program ended when the cable was pulled";

    // Back under the same name: a new line where the old one was.
    std::optional<PseudoTerminal> back = PseudoTerminal::open();
    ASSERT_TRUE(back.has_value());
    // The old line's node is gone from under its mount: that goes first.
    const std::string remount = "nsenter -t " + std::to_string(m_pid) + " -m sh -c 'umount /dev/"
        + kBridgeTty + " && mount --bind " + back->slavePath() + " /dev/" + kBridgeTty + "'";
    ASSERT_EQ(std::system(remount.c_str()), 0) << remount;
    m_pty = std::move(back);
    ASSERT_TRUE(waitFor([&] { return lineSpeed() == B2400; }, 10s)) << "not opened again";
    std::this_thread::sleep_for(1s);
    ASSERT_NO_FATAL_FAILURE(sendReadings(203.5F, 2));

    // Back under another name: the old one leaves the device list, the new one joins it.
    fs::remove_all(m_root / "tty" / kBridgeTty);
    m_pty->hangUp();
    std::this_thread::sleep_for(1500ms);
    addBridge(kSecondTty);
    ASSERT_TRUE(waitFor([&] { return lineSpeedOf(*m_second) == B2400; }, 10s))
        << "the bridge under its new name was not opened";
    std::this_thread::sleep_for(1s);
    ASSERT_NO_FATAL_FAILURE(sendReadingsOn(*m_second, 205.5F, 2));

    ASSERT_TRUE(clickAt(panel, 256, 476)); // List
    const std::string list = windowNamed("Data list — clampmeter");
    ASSERT_FALSE(list.empty()) << "List did not open the list window";
    const fs::path exported = m_root / "all.csv";
    ASSERT_NO_FATAL_FAILURE(exportThroughList(list, exported));
    std::ifstream in(exported, std::ios::binary);
    const std::vector<std::string> lines
        = split(std::string {std::istreambuf_iterator<char>(in), {}}, "\r\n");
    ASSERT_EQ(lines.size(), 1U + 6U + 1U);
    const char* const values[] = {"201.5", "202.5", "203.5", "204.5", "205.5", "206.5"};
    for (std::size_t n = 0; n < 6; ++n) {
        const std::vector<std::string> fields = split(lines[n + 1], ";");
        ASSERT_EQ(fields.size(), 6U) << lines[n + 1];
        EXPECT_EQ(fields[0], " " + std::to_string(n + 1));
        EXPECT_EQ(fields[2], values[n]);
    }
}

std::string fileText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST_F(ProgramInNamespace, AKilledProgramsReadingsComeBackFromTheJournalAsToExcelWroteThem)
{
    if (!onPath("Xvfb") || !onPath("xdotool"))
        GTEST_SKIP() << "needs Xvfb and xdotool (scripts/bootstrap --dev installs them)";
    ASSERT_NO_FATAL_FAILURE(startXServer());
    const std::string panel = startOnDisplay();
    ASSERT_FALSE(panel.empty()) << "the program did not start listening on the display";
    ASSERT_NO_FATAL_FAILURE(sendReadings(221.5F, 4));

    ASSERT_TRUE(clickAt(panel, 256, 476)); // List
    const std::string list = windowNamed("Data list — clampmeter");
    ASSERT_FALSE(list.empty()) << "List did not open the list window";
    const fs::path exported = m_root / "export.csv";
    ASSERT_NO_FATAL_FAILURE(exportThroughList(list, exported));
    std::this_thread::sleep_for(1s); // the save's resynchronisation has found the line quiet
    ASSERT_NO_FATAL_FAILURE(sendReadings(230.5F, 2)); // not saved
    stop(m_pid); // SIGKILL part-way

    const auto listed = cli("journal list");
    ASSERT_TRUE(listed.has_value());
    EXPECT_NE(listed->find("unexpectedly"), std::string::npos) << *listed;
    EXPECT_NE(listed->find("no, 2 unsaved"), std::string::npos) << *listed;
    const fs::path recovered = m_root / "recovered.csv";
    ASSERT_TRUE(cli("journal export --output '" + recovered.string() + "'").has_value());
    const std::string wrote = fileText(exported);
    const std::string back = fileText(recovered);
    ASSERT_GT(back.size(), wrote.size());
    EXPECT_EQ(back.substr(0, wrote.size()), wrote)
        << "the journal's first four readings differ from what To Excel wrote";
    EXPECT_EQ(split(back, "\r\n").size(), 1U + 6U + 1U) << back;

    // The next start offers them once its panel is up; an Exit after that closes the
    // journal, and the start after it asks nothing.
    const std::string restarted = startOnDisplay();
    ASSERT_FALSE(restarted.empty());
    ASSERT_TRUE(waitFor([&] { return programWindows() == 2; }, 20s))
        << "no box offered the unsaved readings";
    for (const std::string& id :
        split(xdotool("search --onlyvisible --name '^KR-610$'").value_or(""), "\n")) {
        if (!id.empty() && id != restarted)
            xdotool("windowactivate --sync " + id + " windowfocus --sync " + id);
    }
    xdotool("key --clearmodifiers Escape"); // Later
    EXPECT_TRUE(waitFor([&] { return programWindows() == 1; }, 10s)) << "Later did not close it";
    const std::string again = windowNamed("KR-610");
    ASSERT_TRUE(clickAt(again, 256, 524)); // Exit
    ASSERT_TRUE(waitFor([&] { return !running(); }, 10s)) << "Exit did not end the program";
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;

    ASSERT_FALSE(startOnDisplay().empty());
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(programWindows(), 1U) << "a box came after a clean Exit";
}

} // namespace
} // namespace clampmeter
