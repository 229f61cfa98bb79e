// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// clampmeter-demo's options, checked before any window opens.

#include "journal/journal_folder.h"
#include "journal/journal_reader.h"
#include "simulator/meter_simulator.h"

#include "../tools/cli_process.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace clampmeter {
namespace {

// The offscreen platform unless the caller chose one: the demo is a window program. A demo
// that starts instead of refusing is stopped after a while.
std::string demoCommand(const std::string& arguments)
{
    return "QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} timeout 60 '" CLAMPMETER_DEMO_PATH "' "
        + arguments;
}

TEST(DemoOptions, GapsTooShortForTheProgramToFindFramesAreRefusedWithTheReason)
{
    const std::string errorPath = testing::TempDir() + "demo_options.err";
    const std::string justTooShort = std::to_string(kShortestInterval.count() - 1);
    for (const std::string& ms : {std::string("0"), justTooShort, std::string("600001"),
             std::string("-5"), std::string("soon")}) {
        const int status
            = std::system((demoCommand("--interval " + ms) + " 2>'" + errorPath + "'").c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << ms;
        // Qt may add notes of its own about the session; the program says one thing.
        std::ifstream errors(errorPath);
        std::vector<std::string> ownLines;
        for (std::string line; std::getline(errors, line);) {
            if (line.starts_with("clampmeter-demo"))
                ownLines.push_back(line);
        }
        EXPECT_EQ(ownLines,
            std::vector<std::string> {
                "clampmeter-demo: --interval needs a number of milliseconds from 100 to 600000: "
                "the program finds where a frame begins only after 100 ms of quiet"})
            << ms;
    }
    std::filesystem::remove(errorPath);
}

TEST(DemoOptions, HelpStatesTheShortestGap)
{
    FILE* pipe = popen(demoCommand("--help 2>/dev/null").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string help;
    std::array<char, 4096> chunk {};
    for (std::size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0;)
        help.append(chunk.data(), n);
    EXPECT_EQ(pclose(pipe), 0);
    // Qt wraps the option's text to fit the terminal: compare it as one line.
    std::string words;
    for (const char c : help) {
        const bool space = c == ' ' || c == '\n';
        if (!space || (!words.empty() && words.back() != ' '))
            words += space ? ' ' : c;
    }
    EXPECT_NE(words.find("from 100 to 600000. Shorter gaps are refused"), std::string::npos)
        << help;
}

/// The demo's own lines on standard error (Qt may add notes of its own about the session).
std::vector<std::string> demoLines(const std::string& errorPath)
{
    std::ifstream errors(errorPath);
    std::vector<std::string> own;
    for (std::string line; std::getline(errors, line);) {
        if (line.starts_with("clampmeter-demo"))
            own.push_back(line);
    }
    return own;
}

TEST(DemoOptions, AMistakeIsRefusedWithExitCode2NamingTheOptionAndTheValue)
{
    const std::string errorPath = testing::TempDir() + "demo_mistakes.err";
    struct Case {
        const char* arguments;
        const char* says;
    };
    const Case cases[] = {
        {"--scenario bogus",
            "clampmeter-demo: --scenario takes one of tour, vac, aac, kw, kva, kvar, pf, energy, "
            "faults, not 'bogus'"},
        {"--seed many",
            "clampmeter-demo: --seed takes a whole number from 0 to 4294967295, not "
            "'many'"},
        {"--frob", "clampmeter-demo: unknown option '--frob' (see clampmeter-demo --help)"},
        {"--seed", "clampmeter-demo: Missing value after '--seed' (see clampmeter-demo --help)"},
        {"stray", "clampmeter-demo: unknown argument 'stray' (see clampmeter-demo --help)"},
    };
    for (const Case& c : cases) {
        const int status
            = std::system((demoCommand(c.arguments) + " 2>'" + errorPath + "'").c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << c.arguments;
        EXPECT_EQ(demoLines(errorPath), std::vector<std::string> {c.says}) << c.arguments;
    }
    std::filesystem::remove(errorPath);
}

TEST(DemoStop, CtrlCAndSigtermEndTheDemoAsItsExitDoesLeavingNothingToRecover)
{
    using namespace std::chrono_literals;
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const std::filesystem::path state = testing::TempDir() + "demo-stop-"
            + std::to_string(::getpid()) + "-" + std::to_string(signal);
        std::filesystem::remove_all(state);
        std::filesystem::create_directories(state);
        const std::string out = (state / "out").string();
        const std::string err = (state / "err").string();
        ::setenv("XDG_STATE_HOME", state.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        cli::test::ChildProcess demo(
            {CLAMPMETER_DEMO_PATH, "--interval", "100", "--scenario", "vac"}, out, err);
        ::unsetenv("XDG_STATE_HOME");
        const std::filesystem::path folder = state / "clampmeter" / kDemoSessionsFolder;
        // Until its journal holds a few readings.
        const auto readings = [&] {
            const auto files = listSessionFiles(folder);
            std::string reason;
            const auto session
                = files.empty() ? std::nullopt : readJournalFile(files.back().path, reason);
            return session ? session->readings.size() : 0;
        };
        ASSERT_TRUE(cli::test::waitFor([&] { return readings() >= 3; }, 60s))
            << cli::test::fileText(err);

        demo.signal(signal);
        EXPECT_EQ(demo.wait(30s), 0) << cli::test::fileText(err);
        const auto files = listSessionFiles(folder);
        ASSERT_EQ(files.size(), 1U);
        std::string reason;
        const auto session = readJournalFile(files.back().path, reason);
        ASSERT_TRUE(session.has_value()) << reason;
        EXPECT_TRUE(session->endedCleanly);
        EXPECT_GE(session->readings.size(), 3U);
        std::filesystem::remove_all(state);
    }
}

} // namespace
} // namespace clampmeter
