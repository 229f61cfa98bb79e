// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The real clampmeter-cli log reading a pseudo-terminal (--device) that this test writes the
// simulator's frames to, with line faults, silences, a hang-up and the ways a run ends.

#include "cli_commands.h"
#include "cli_process.h"
#include "log/log_line.h"
#include "platform/pseudo_terminal.h"
#include "soak_plan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <regex>
#include <sstream>
#include <termios.h>

namespace clampmeter::cli {
namespace {

using namespace std::chrono_literals;
using test::ChildProcess;
using test::fileText;
using test::occurrences;
using test::textLines;
using test::waitFor;

// Generous: the sanitizers slow the logger down, and a pass never waits these out.
constexpr auto kPatience = 15s;
// The quiet after each frame: 100 ms is the least the framing needs; more keeps a loaded
// machine's late timer ticks from losing frames.
constexpr auto kQuiet = 150ms;

/// decode's line for one frame sent alone, without its line end.
std::string decodedLine(std::span<const std::uint8_t> bytes)
{
    std::istringstream capture(std::string(bytes.begin(), bytes.end()));
    std::ostringstream out;
    std::ostringstream err;
    runDecode({}, capture, out, err);
    std::string line = out.str();
    if (!line.empty())
        line.pop_back();
    return line;
}

/// A JSON line's value of `key` as written (a string without its quotes), "" for null.
std::string jsonValue(const std::string& line, const std::string& key)
{
    const std::size_t at = line.find("\"" + key + "\":");
    if (at == std::string::npos)
        return "<missing>";
    std::size_t from = at + key.size() + 3;
    if (line[from] == '"')
        return line.substr(from + 1, line.find('"', from + 1) - from - 1);
    const std::string value = line.substr(from, line.find_first_of(",}", from) - from);
    return value == "null" ? "" : value;
}

class LogOnPty : public testing::Test {
protected:
    void SetUp() override
    {
        m_pty = PseudoTerminal::open();
        ASSERT_TRUE(m_pty.has_value());
        const std::string base
            = testing::TempDir() + "clampmeter-log-" + std::to_string(std::random_device {}());
        m_out = base + ".out";
        m_err = base + ".err";
    }
    void TearDown() override
    {
        std::remove(m_out.c_str());
        std::remove(m_err.c_str());
    }

    std::unique_ptr<ChildProcess> startLog(std::vector<std::string> options)
    {
        options.insert(
            options.begin(), {CLAMPMETER_CLI_PATH, "log", "--device", m_pty->slavePath()});
        return std::make_unique<ChildProcess>(options, m_out, m_err);
    }

    /// Once the logger has set the line to 2400 baud and said so (by then it also takes
    /// SIGINT and SIGTERM: a line left at 2400 baud by an earlier run tells nothing), and a
    /// little more for the framing's first quiet tick.
    bool waitUntilListening() const
    {
        const bool open = waitFor(
            [this] {
                termios settings {};
                ::tcgetattr(m_pty->masterFd(), &settings);
                return ::cfgetispeed(&settings) == B2400
                    && errText().find("reading the meter on") != std::string::npos;
            },
            kPatience);
        std::this_thread::sleep_for(300ms);
        return open;
    }

    void send(std::span<const std::uint8_t> bytes, std::chrono::milliseconds quiet)
    {
        if (!bytes.empty()) {
            ASSERT_TRUE(m_pty->write(bytes));
        }
        std::this_thread::sleep_for(quiet);
    }

    std::vector<std::string> outLines() const { return textLines(fileText(m_out)); }
    std::string errText() const { return fileText(m_err); }

    std::optional<PseudoTerminal> m_pty;
    std::string m_out;
    std::string m_err;
};

TEST_F(LogOnPty, FramesAmongFaultsAreLoggedAsDecodeGivesTheFramesSentAlone)
{
    const soak::SoakPlan plan = soak::planSoak(200, 11, kQuiet, 10);
    auto log = startLog({"--format", "jsonl"});
    ASSERT_TRUE(waitUntilListening());

    // A logger for days runs on Qt Core and Qt SerialPort alone: no GUI library in memory.
    const std::string maps = fileText("/proc/" + std::to_string(log->pid()) + "/maps");
    EXPECT_NE(maps.find("libQt6Core"), std::string::npos);
    EXPECT_NE(maps.find("libQt6SerialPort"), std::string::npos);
    EXPECT_EQ(maps.find("libQt6Gui"), std::string::npos);
    EXPECT_EQ(maps.find("libQt6Widgets"), std::string::npos);

    std::vector<std::string> expected;
    std::size_t wrongHeaders = 0;
    for (const soak::SoakStep& step : plan.steps) {
        ASSERT_NO_FATAL_FAILURE(send(step.burst.bytes, step.quietAfter));
        if (step.mustBeStored)
            expected.push_back(decodedLine(step.burst.bytes));
        wrongHeaders += step.burst.kind == BurstKind::WrongHeader ? 1 : 0;
    }
    EXPECT_TRUE(waitFor([&] { return outLines().size() >= expected.size(); }, kPatience));
    log->signal(SIGTERM);
    ASSERT_EQ(log->wait(), 0) << errText();

    const std::vector<std::string> lines = outLines();
    ASSERT_EQ(lines.size(), expected.size()) << errText();
    for (std::size_t n = 0; n < lines.size(); ++n) {
        SCOPED_TRACE("line " + std::to_string(n + 1) + ": " + lines[n]);
        const std::string time = jsonValue(lines[n], "time");
        EXPECT_EQ(time.size(), std::string("2026-12-10T14:03:07.250+01:00").size()) << time;
        const std::string prefix = "{\"time\":\"" + time + "\",";
        ASSERT_TRUE(lines[n].starts_with(prefix));
        EXPECT_EQ("{" + lines[n].substr(prefix.size()), expected[n]);
    }
    const std::string err = errText();
    EXPECT_EQ(occurrences(err, "no data for 2 s"), static_cast<std::size_t>(plan.silences)) << err;
    const bool endsSilent = plan.steps.back().burst.kind == BurstKind::Silence;
    EXPECT_EQ(occurrences(err, "data again after"),
        static_cast<std::size_t>(plan.silences - (endsSilent ? 1 : 0)));
    EXPECT_NE(
        err.find("clampmeter-cli log: " + std::to_string(expected.size()) + " readings logged, "
            + std::to_string(wrongHeaders) + " candidates rejected, 0 disconnections, "),
        std::string::npos)
        << err;
}

TEST_F(LogOnPty, CsvLinesCarryTheReadingsOfDecodeAndCountEndsTheRun)
{
    const soak::SoakPlan plan = soak::planSoak(60, 5, kQuiet, 0);
    auto log = startLog({"--count", "60"});
    ASSERT_TRUE(waitUntilListening());
    for (const soak::SoakStep& step : plan.steps)
        ASSERT_NO_FATAL_FAILURE(send(step.burst.bytes, step.quietAfter));
    ASSERT_EQ(log->wait(), 0) << "--count 60 ends the run by itself\n" << errText();

    const std::vector<std::string> lines = outLines();
    ASSERT_EQ(lines.size(), 61U) << errText();
    EXPECT_EQ(lines.front() + "\n", kCsvHeader);
    const std::vector<std::string> keys {"fun", "main", "unit", "secondary", "secondaryUnit",
        "mainValue", "secondaryValue", "bat", "mr", "phase", "wiring", "number"};
    for (std::size_t n = 0; n < plan.steps.size(); ++n) {
        const std::string decoded = decodedLine(plan.steps[n].burst.bytes);
        std::string fields;
        for (const std::string& key : keys)
            fields += "," + jsonValue(decoded, key);
        const std::string& line = lines[n + 1];
        SCOPED_TRACE(line);
        EXPECT_EQ(line.substr(line.find(',')), fields);
    }
}

TEST_F(LogOnPty, AHangUpIsToldOnceAndTheLoggerWaitsForTheLineUntilStopped)
{
    // The device by a name of its own, as a bridge's by-id link, which goes with the cable: the
    // pseudo-terminal's own name would soon be another program's new one.
    const std::string device = m_out + ".tty";
    std::filesystem::create_symlink(m_pty->slavePath(), device);
    auto log = std::make_unique<ChildProcess>(
        std::vector<std::string> {CLAMPMETER_CLI_PATH, "log", "--device", device}, m_out, m_err);
    ASSERT_TRUE(waitUntilListening());
    const EncodedFrame frame = encodeFrame({.functionCode = 1, .mainValue = 230.0F});
    ASSERT_NO_FATAL_FAILURE(send(frame, kQuiet));
    ASSERT_TRUE(waitFor([&] { return outLines().size() == 2; }, kPatience)) << errText();

    m_pty->hangUp();
    std::filesystem::remove(device);
    ASSERT_TRUE(
        waitFor([&] { return errText().find("went away") != std::string::npos; }, kPatience));
    std::this_thread::sleep_for(3500ms); // several searches, and the watchdog's time
    ASSERT_TRUE(log->running()) << errText();
    log->signal(SIGINT);
    ASSERT_EQ(log->wait(), 0) << errText();

    const std::string err = errText();
    EXPECT_EQ(occurrences(err, "went away"), 1U) << err;
    // While it looks it says so, in one line of its own with the time: never the start's
    // advice to start again, which would end a run that goes on by itself.
    EXPECT_EQ(occurrences(err,
                  "cannot open " + device
                      + ": No such file or directory; still looking every "
                        "second\n"),
        1U)
        << err;
    EXPECT_EQ(occurrences(err, "start again"), 0U) << err;
    const std::regex timed(R"(clampmeter-cli log: \d{4}-\d\d-\d\dT[0-9:.+-]+ .+)");
    for (const std::string& line : textLines(err)) {
        if (line.find("reading logged") == std::string::npos) {
            EXPECT_TRUE(std::regex_match(line, timed)) << line;
        }
    }
    EXPECT_EQ(occurrences(err, "no data for 2 s"), 0U) << "the loss was the silence's note\n"
                                                       << err;
    EXPECT_NE(
        err.find("1 reading logged, 0 candidates rejected, 1 disconnection, "), std::string::npos)
        << err;
}

TEST_F(LogOnPty, AMistypedDeviceIsRefusedAtTheStartUnlessItIsAwaited)
{
    const std::string missing = m_pty->slavePath() + "-missing";
    ChildProcess refused({CLAMPMETER_CLI_PATH, "log", "--device", missing}, m_out, m_err);
    EXPECT_EQ(refused.wait(), 2);
    EXPECT_EQ(errText(),
        "clampmeter-cli log: --device " + missing
            + " does not exist (with --wait it is waited for)\n");

    ChildProcess awaited({CLAMPMETER_CLI_PATH, "log", "--device", missing, "--wait"}, m_out, m_err);
    ASSERT_TRUE(
        waitFor([&] { return errText().find("still looking every second") != std::string::npos; },
            kPatience));
    awaited.signal(SIGTERM);
    EXPECT_EQ(awaited.wait(), 0) << errText();
    EXPECT_NE(errText().find("cannot open " + missing
                  + ": No such file or directory; still looking every second\n"),
        std::string::npos)
        << errText();
}

TEST_F(LogOnPty, AStartThatFailsLeavesNoHeaderOnlyFileButKeepsOneThatWasThere)
{
    // A path that exists but is no serial line: the bridge cannot be opened, the run ends.
    const std::filesystem::path folder
        = testing::TempDir() + "clampmeter-log-start-" + std::to_string(std::random_device {}());
    std::filesystem::create_directories(folder);
    const std::string notALine = (folder / "not-a-line").string();
    std::ofstream(notALine) << "x";
    struct Case {
        const char* name;
        std::optional<std::string> before; ///< the output file's text before the run
    };
    for (const Case& c : {Case {"new", std::nullopt}, Case {"empty", ""},
             Case {"earlier readings", std::string(kCsvHeader) + "earlier\n"}}) {
        SCOPED_TRACE(c.name);
        const std::string output = (folder / (std::string(c.name) + ".csv")).string();
        if (c.before)
            std::ofstream(output) << *c.before;
        ChildProcess log(
            {CLAMPMETER_CLI_PATH, "log", "--device", notALine, "--output", output}, m_out, m_err);
        EXPECT_EQ(log.wait(), 1) << errText();
        if (c.before)
            EXPECT_EQ(fileText(output), std::string(*c.before).empty() ? kCsvHeader : *c.before);
        else
            EXPECT_FALSE(std::filesystem::exists(output)) << fileText(output);
    }
    std::filesystem::remove_all(folder);
}

TEST_F(LogOnPty, SignalsAndTheDurationEndARunCleanlyWithTheSummary)
{
    for (const std::string how : {"SIGINT", "SIGTERM", "--duration"}) {
        SCOPED_TRACE(how);
        auto log = startLog(how == "--duration" ? std::vector<std::string> {"--duration", "1.5"}
                                                : std::vector<std::string> {});
        ASSERT_TRUE(waitUntilListening());
        if (how != "--duration")
            log->signal(how == "SIGINT" ? SIGINT : SIGTERM);
        ASSERT_EQ(log->wait(), 0) << errText();
        EXPECT_NE(errText().find("clampmeter-cli log: 0 readings logged, 0 candidates rejected, "
                                 "0 disconnections, "),
            std::string::npos)
            << errText();
        EXPECT_EQ(fileText(m_out), kCsvHeader);
    }
}

TEST_F(LogOnPty, OutputThatCannotBeWrittenEndsTheRunWithExitCode1)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    auto header = startLog({"--output", "/dev/full"});
    EXPECT_EQ(header->wait(), 1);
    EXPECT_EQ(errText(), "clampmeter-cli log: cannot write '/dev/full': No space left on device\n");

    auto line = startLog({"--output", "/dev/full", "--format", "jsonl"});
    ASSERT_TRUE(waitUntilListening());
    ASSERT_NO_FATAL_FAILURE(send(encodeFrame({.mainValue = 230.0F}), kQuiet));
    EXPECT_EQ(line->wait(), 1);
    EXPECT_NE(
        errText().find("cannot write '/dev/full': No space left on device\n"), std::string::npos)
        << errText();
    EXPECT_NE(errText().find("0 readings logged"), std::string::npos) << errText();
}

} // namespace
} // namespace clampmeter::cli
