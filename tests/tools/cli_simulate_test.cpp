// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli_commands.h"
#include "platform/pseudo_terminal.h"
#include "simulator/meter_simulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace clampmeter::cli {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr int kPatienceMs = 10'000;

struct InProcessRun {
    int exitCode = 0;
    std::string out;
    std::string err;
};

InProcessRun simulate(std::vector<std::string_view> args)
{
    std::ostringstream out;
    std::ostringstream err;
    const int code = runSimulate(args, out, err);
    return {code, out.str(), err.str()};
}

Bytes expectedBytes(SimulatorSettings settings, int bursts)
{
    MeterSimulator simulator(settings);
    Bytes all;
    for (int i = 0; i < bursts; ++i) {
        const auto burst = simulator.next();
        all.insert(all.end(), burst.bytes.begin(), burst.bytes.end());
    }
    return all;
}

// Reads up to `count` bytes, waiting at most kPatienceMs for each chunk; fewer on hang-up.
Bytes readBytes(int fd, std::size_t count)
{
    Bytes got;
    std::array<std::uint8_t, 256> buffer {};
    pollfd readable {fd, POLLIN, 0};
    while (got.size() < count && ::poll(&readable, 1, kPatienceMs) > 0) {
        const ssize_t n = ::read(fd, buffer.data(), std::min(buffer.size(), count - got.size()));
        if (n <= 0)
            break;
        got.insert(got.end(), buffer.begin(), buffer.begin() + n);
    }
    return got;
}

// The real clampmeter-cli with its standard output on a pipe; killed if a test leaves early.
class CliProcess {
public:
    explicit CliProcess(std::vector<std::string> args)
    {
        args.insert(args.begin(), {CLAMPMETER_CLI_PATH, "simulate"});
        std::array<int, 2> pipe {};
        if (::pipe(pipe.data()) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipe[0]);
        std::vector<char*> argv;
        argv.reserve(args.size() + 1);
        for (auto& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipe[1]);
        m_stdout = pipe[0];
    }
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;
    ~CliProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        ::close(m_stdout);
    }

    bool started() const { return m_pid > 0; }

    std::string readLine()
    {
        std::string line;
        for (const auto byte : readUntilNewline())
            line += static_cast<char>(byte);
        return line;
    }

    void signal(int number) const { ::kill(m_pid, number); }

    /// The exit code, or nothing when the process did not end normally in time; `usage`
    /// receives the resources the process used.
    std::optional<int> wait(rusage* usage = nullptr)
    {
        const auto deadline
            = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatienceMs);
        int status = 0;
        while (::wait4(m_pid, &status, WNOHANG, usage) == 0) {
            if (std::chrono::steady_clock::now() > deadline)
                return std::nullopt;
            ::usleep(10'000);
        }
        m_pid = -1;
        if (!WIFEXITED(status))
            return std::nullopt;
        return WEXITSTATUS(status);
    }

private:
    Bytes readUntilNewline() const
    {
        Bytes line;
        for (Bytes byte = readBytes(m_stdout, 1); !byte.empty() && byte[0] != '\n';
             byte = readBytes(m_stdout, 1))
            line.push_back(byte[0]);
        return line;
    }

    pid_t m_pid = -1;
    int m_stdout = -1;
};

TEST(SimulateOptions, BadOptionsGiveTheUsageOnStandardErrorAndExitCode2)
{
    const std::vector<std::vector<std::string_view>> cases {
        {"--bogus"},
        {"--count", "5", "extra"},
        {"--interval"},
        {"--interval", "-5"},
        {"--interval", "0"},
        {"--interval", "99"},
        {"--interval", "600001"},
        {"--interval", "12x"},
        {"--count", "0"},
        {"--count", "-1"},
        {"--seed", "4294967296"},
        {"--seed=x"},
        {"--scenario", "nope"},
        {"--scenario"},
        {"--device"},
        {"--pty=yes"},
        {"--pty", "--device", "/dev/null"},
        {},
        {"--scenario", "vac"},
    };
    for (const auto& args : cases) {
        std::string line;
        for (const auto arg : args)
            line += std::string(arg) + ' ';
        const InProcessRun run = simulate(args);
        EXPECT_EQ(run.exitCode, 2) << line;
        EXPECT_TRUE(run.out.empty()) << line;
        EXPECT_NE(
            run.err.find("clampmeter-cli simulate [--pty | --device PATH]"), std::string::npos)
            << line << "\n"
            << run.err;
    }

    CliProcess process({"--interval", "soon"});
    ASSERT_TRUE(process.started());
    EXPECT_EQ(process.wait(), 2) << "the exit code reaches the shell";
}

TEST(SimulateOptions, GapsTooShortForTheProgramToFindFramesAreRefusedWithTheReason)
{
    for (const std::string_view ms : {"0", "99"}) {
        const InProcessRun run = simulate({"--pty", "--interval", ms});
        EXPECT_EQ(run.exitCode, 2) << ms;
        EXPECT_TRUE(run.err.starts_with(
            "clampmeter-cli simulate: --interval needs a number of milliseconds from 100 to "
            "600000: the program finds where a frame begins only after 100 ms of quiet\n"))
            << run.err;
    }
    EXPECT_EQ(simulate({"--count", "1", "--interval", "100"}).exitCode, 0);
    EXPECT_NE(std::string(kSimulateHelp).find("Shorter gaps are refused"), std::string::npos);
}

TEST(SimulateOptions, GapsTooLongForTheWatchdogAreSentWithAWarning)
{
    // A line that cannot be opened ends the run at once, after the warning about the gap.
    const std::string cannotOpen = "clampmeter-cli simulate: cannot open /nonexistent/tty";
    const InProcessRun longGap
        = simulate({"--device", "/nonexistent/tty", "--interval", "1901", "--count", "1"});
    EXPECT_EQ(longGap.exitCode, 1);
    EXPECT_TRUE(longGap.err.starts_with(
        "clampmeter-cli simulate: " + longIntervalWarning(1901ms) + "\n" + cannotOpen))
        << longGap.err;
    const InProcessRun alive
        = simulate({"--device", "/nonexistent/tty", "--interval", "1900", "--count", "1"});
    EXPECT_TRUE(alive.err.starts_with(cannotOpen)) << alive.err;
    EXPECT_EQ(simulate({"--count", "1", "--interval", "5000"}).err, "")
        << "a capture file keeps no gaps";
}

TEST(SimulateOptions, HelpListsEveryScenarioWithinEightyColumns)
{
    const InProcessRun run = simulate({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    for (const auto& info : simulatorScenarios())
        EXPECT_NE(run.out.find("  " + std::string(info.name) + " "), std::string::npos)
            << info.name;
    EXPECT_EQ(run.out, kSimulateHelp);
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);)
        EXPECT_LE(line.size(), 80U) << "fits a terminal: " << line;
}

TEST(SimulateToStream, WritesTheSimulatorsBytesBackToBackWithoutPausing)
{
    // The faults scenario has bursts of silence lasting 2.5 s; a capture must not wait for them.
    const InProcessRun run
        = simulate({"--count", "60", "--seed=7", "--scenario", "faults", "--interval=250"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Bytes written(run.out.begin(), run.out.end());
    EXPECT_EQ(written, expectedBytes({SimulatorScenario::Faults, 7, 250ms}, 60));

    const InProcessRun defaults = simulate({"--count", "4"});
    EXPECT_EQ(Bytes(defaults.out.begin(), defaults.out.end()), expectedBytes({}, 4));
}

TEST(SimulateToStream, AFullDiskIsExitCode1WithOneErrorLine)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    const std::string errorPath = testing::TempDir() + "cli_simulate_full_disk.err";
    const std::vector<std::pair<const char*, std::string>> cases {
        // 51 bytes wait in the output buffer until the last flush.
        {"failing_at_the_last_flush", "--count 3"},
        {"failing_part_way", "--count 100000"},
        {"help", "--help"},
        {"the_path_of_the_pseudo_terminal", "--pty --count 1"},
    };
    for (const auto& [name, arguments] : cases) {
        SCOPED_TRACE(name);
        const int status = std::system((std::string(CLAMPMETER_CLI_PATH) + " simulate " + arguments
            + " >/dev/full 2>'" + errorPath + "'")
                                           .c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
        std::ifstream errors(errorPath);
        std::vector<std::string> lines;
        for (std::string line; std::getline(errors, line);)
            lines.push_back(line);
        EXPECT_EQ(lines,
            std::vector<std::string> {
                "clampmeter-cli simulate: cannot write the output: No space left on device"});
    }
    std::filesystem::remove(errorPath);
}

TEST(SimulateOnPty, PrintsTheSlavePathThenSendsEachFrameWithItsGap)
{
    CliProcess process({"--pty", "--count", "3", "--interval", "250"});
    ASSERT_TRUE(process.started());
    const std::string path = process.readLine();
    ASSERT_TRUE(path.starts_with("/dev/")) << path;
    const int reader = ::open(path.c_str(), O_RDONLY | O_NOCTTY);
    ASSERT_GE(reader, 0) << path;

    std::vector<Bytes> frames;
    std::vector<std::chrono::steady_clock::time_point> arrivals;
    for (int i = 0; i < 3; ++i) {
        frames.push_back(readBytes(reader, 17));
        arrivals.push_back(std::chrono::steady_clock::now());
    }
    const Bytes expected = expectedBytes({SimulatorScenario::Tour, 1, 250ms}, 3);
    for (std::size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(frames[i], Bytes(expected.begin() + 17 * i, expected.begin() + 17 * (i + 1)));
    // The reader may have joined late and found frame 1 waiting, but frame 3 is only
    // written a whole gap after frame 2.
    EXPECT_GE(arrivals[2] - arrivals[1], 150ms);

    EXPECT_TRUE(readBytes(reader, 1).empty()) << "the line hangs up after the last frame";
    EXPECT_EQ(process.wait(), 0);
    ::close(reader);
}

TEST(SimulateOnPty, TheLastFramesWaitForAReaderWhoOpensLate)
{
    CliProcess process({"--pty", "--count", "2", "--interval", "100"});
    ASSERT_TRUE(process.started());
    const std::string path = process.readLine();
    // Hanging up the master side would throw away whatever the slave side has not read.
    std::this_thread::sleep_for(500ms);
    const int reader = ::open(path.c_str(), O_RDONLY | O_NOCTTY);
    ASSERT_GE(reader, 0) << path;

    EXPECT_EQ(readBytes(reader, 34), expectedBytes({SimulatorScenario::Tour, 1, 100ms}, 2));
    EXPECT_EQ(process.wait(), 0);
    ::close(reader);
}

TEST(SimulateOnPty, BytesNobodyReadsAreDroppedInsteadOfStallingTheMeter)
{
    // A little more than the 1024 unread bytes after which the backlog goes: about 12 s.
    constexpr int kFrames = 70;
    CliProcess process({"--pty", "--count", std::to_string(kFrames), "--interval", "100"});
    ASSERT_TRUE(process.started());
    const std::string path = process.readLine();
    const int reader = ::open(path.c_str(), O_RDONLY | O_NOCTTY);
    ASSERT_GE(reader, 0) << path;

    // Nothing is read until the unread count falls: the backlog has been dropped.
    int unread = 0;
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    for (int before = 0; unread >= before && std::chrono::steady_clock::now() < deadline;) {
        before = unread;
        std::this_thread::sleep_for(50ms);
        ASSERT_EQ(::ioctl(reader, FIONREAD, &unread), 0);
    }
    Bytes received;
    for (Bytes chunk = readBytes(reader, 4096); !chunk.empty(); chunk = readBytes(reader, 4096))
        received.insert(received.end(), chunk.begin(), chunk.end());
    EXPECT_EQ(process.wait(), 0);
    ::close(reader);

    const Bytes all = expectedBytes({SimulatorScenario::Tour, 1, 100ms}, kFrames);
    EXPECT_LT(received.size(), all.size() / 2) << "the stale backlog was kept";
    ASSERT_GE(received.size(), 17U);
    EXPECT_TRUE(std::equal(received.end() - 17, received.end(), all.end() - 17))
        << "the newest frame arrives last";
}

TEST(SimulateOnPty, TheShortestIntervalKeepsToTheLinesSpeedWithoutSpinning)
{
    constexpr int kFrames = 12;
    const auto start = std::chrono::steady_clock::now();
    CliProcess process({"--pty", "--count", std::to_string(kFrames), "--interval",
        std::to_string(kShortestInterval.count())});
    ASSERT_TRUE(process.started());
    const std::string path = process.readLine();
    const int reader = ::open(path.c_str(), O_RDONLY | O_NOCTTY);
    ASSERT_GE(reader, 0) << path;
    EXPECT_EQ(readBytes(reader, kFrames * kFrameSize).size(), kFrames * kFrameSize);
    rusage usage {};
    EXPECT_EQ(process.wait(&usage), 0);
    const auto took = std::chrono::steady_clock::now() - start;
    ::close(reader);

    // Each frame keeps the line for its time at 2400 baud and then its gap. Sleeps never
    // end early, so a busy machine can only make the run longer.
    const auto paced = kFrames * (timeOnLine(kFrameSize) + kShortestInterval);
    EXPECT_GE(took, paced);
    // A process that waits by sleeping uses a small part of that as processor time; one
    // that spins uses all of it that the machine gives it.
    const auto used = std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    EXPECT_LT(used, paced / 4) << "processor time of the simulator";
}

TEST(SimulateOnPty, SigtermEndsAnEndlessRunCleanly)
{
    CliProcess process({"--pty", "--interval", "100", "--scenario", "pf"});
    ASSERT_TRUE(process.started());
    const std::string path = process.readLine();
    const int reader = ::open(path.c_str(), O_RDONLY | O_NOCTTY);
    ASSERT_GE(reader, 0) << path;
    const Bytes first = readBytes(reader, 17);
    ASSERT_EQ(first.size(), 17U);
    EXPECT_EQ(first[6], 6);

    process.signal(SIGTERM);

    EXPECT_EQ(process.wait(), 0);
    pollfd hangUp {reader, POLLIN, 0};
    ASSERT_EQ(::poll(&hangUp, 1, kPatienceMs), 1);
    EXPECT_NE(hangUp.revents & POLLHUP, 0) << "the line is closed, not left dangling";
    ::close(reader);
}

TEST(SimulateOnDevice, SetsTheLineTo2400Baud8N1RawAndWritesTheFrames)
{
    auto line = PseudoTerminal::open();
    ASSERT_TRUE(line.has_value());
    CliProcess process({"--device", line->slavePath(), "--count", "2", "--interval", "100",
        "--scenario", "energy", "--seed", "5"});
    ASSERT_TRUE(process.started());

    EXPECT_EQ(
        readBytes(line->masterFd(), 34), expectedBytes({SimulatorScenario::Energy, 5, 100ms}, 2));
    EXPECT_EQ(process.wait(), 0);

    const int device = ::open(line->slavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(device, 0);
    termios settings {};
    ASSERT_EQ(::tcgetattr(device, &settings), 0);
    ::close(device);
    EXPECT_EQ(::cfgetospeed(&settings), B2400);
    EXPECT_EQ(::cfgetispeed(&settings), B2400);
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0U);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), 0U);
    EXPECT_EQ(settings.c_oflag & OPOST, 0U) << "bytes pass unchanged";
    EXPECT_EQ(settings.c_iflag & (IXON | ICRNL), 0U);
}

TEST(SimulateOnDevice, APathThatIsNoSerialDeviceIsARunTimeFailure)
{
    for (const std::string_view path : {"/dev/null", "/nonexistent/ttyUSB0"}) {
        const InProcessRun run = simulate({"--device", path, "--count", "1"});
        EXPECT_EQ(run.exitCode, 1) << path;
        EXPECT_NE(run.err.find(path), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

} // namespace
} // namespace clampmeter::cli
