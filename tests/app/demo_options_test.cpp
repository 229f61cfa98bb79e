// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// clampmeter-demo's options, checked before any window opens.

#include "simulator/meter_simulator.h"

#include <gtest/gtest.h>

#include <array>
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

} // namespace
} // namespace clampmeter
