// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// --help and --version of the real clampmeter and clampmeter-demo, on a machine without a
// display: the build makes the manual pages from them, wherever it runs.

#include "shared/version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <sys/wait.h>

namespace clampmeter {
namespace {

struct ProgramRun {
    int status = -1; ///< as std::system returns it
    std::string out;
    std::string err;

    bool succeeded() const { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }
};

std::string fileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// `program` with `arguments` under `environment` (a command prefix such as "env -u DISPLAY").
// Sixty seconds stop a program that started anyway.
ProgramRun runProgram(const std::string& environment, const std::string& program,
    const std::string& arguments, const std::string& outTarget = "")
{
    // Named after the test, since CTest runs the cases side by side.
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    std::replace(name.begin(), name.end(), '/', '_');
    const std::filesystem::path dir = testing::TempDir();
    const std::filesystem::path out = dir / (name + ".out");
    const std::filesystem::path err = dir / (name + ".err");
    const std::string command = environment + " timeout 60 '" + program + "' " + arguments + " >"
        + (outTarget.empty() ? "'" + out.string() + "'" : outTarget) + " 2>'" + err.string() + "'";
    ProgramRun run;
    run.status = std::system(command.c_str());
    run.out = outTarget.empty() ? fileText(out) : "";
    run.err = fileText(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

// The X11 platform with no display to connect to: an application object that wanted a
// window system would fail at once.
ProgramRun runWithoutDisplay(
    const std::string& program, const std::string& arguments, const std::string& outTarget = "")
{
    return runProgram(
        "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb", program, arguments, outTarget);
}

struct InfoCase {
    const char* name;
    const char* program;
    const char* arguments;
    std::string expectedStart; ///< what standard output starts with
    std::string expectedPart; ///< and contains further on
};

void PrintTo(const InfoCase& row, std::ostream* out)
{
    *out << row.name;
}

class InfoOptions : public testing::TestWithParam<InfoCase> { };

TEST_P(InfoOptions, AreAnsweredOnStandardOutputWithoutADisplay)
{
    const InfoCase& c = GetParam();
    const ProgramRun run = runWithoutDisplay(c.program, c.arguments);
    EXPECT_TRUE(run.succeeded()) << run.status << "\n" << run.err;
    EXPECT_TRUE(run.out.starts_with(c.expectedStart)) << run.out;
    EXPECT_NE(run.out.find(c.expectedPart), std::string::npos) << run.out;
    EXPECT_EQ(run.err, "");
}

const std::string kProgramVersion = "clampmeter " + std::string(kVersion) + "\n";
const std::string kDemoVersion = "clampmeter-demo " + std::string(kVersion) + "\n";

INSTANTIATE_TEST_SUITE_P(Programs, InfoOptions,
    testing::Values(
        InfoCase {"ProgramHelp", CLAMPMETER_EXECUTABLE, "--help", "Usage: clampmeter [OPTION]\n",
            "  -v, --version  show the version and exit\n"},
        InfoCase {"ProgramShortHelp", CLAMPMETER_EXECUTABLE, "-h", "Usage: clampmeter [OPTION]\n",
            "  -h, --help     show this text and exit\n"},
        InfoCase {
            "ProgramVersion", CLAMPMETER_EXECUTABLE, "--version", kProgramVersion, kProgramVersion},
        InfoCase {
            "ProgramShortVersion", CLAMPMETER_EXECUTABLE, "-v", kProgramVersion, kProgramVersion},
        InfoCase {"DemoHelp", CLAMPMETER_DEMO_PATH, "--help", "Usage: ", "--scenario <name>"},
        InfoCase {"DemoHelpNamesVersion", CLAMPMETER_DEMO_PATH, "--help", "Usage: ", "--version"},
        InfoCase {"DemoVersion", CLAMPMETER_DEMO_PATH, "--version", kDemoVersion, kDemoVersion},
        InfoCase {"DemoVersionAfterOptions", CLAMPMETER_DEMO_PATH, "--seed 4 --version",
            kDemoVersion, kDemoVersion}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(InfoOptionsControl, TheProgramItselfNeedsTheDisplayTheseRunsLack)
{
    // Without this the tests above could pass on a machine where a window opens anyway.
    const ProgramRun run = runWithoutDisplay(CLAMPMETER_EXECUTABLE, "");
    EXPECT_FALSE(run.succeeded()) << run.out << run.err;
    EXPECT_EQ(run.out, "");
}

TEST(InfoOptionsControl, AnAnswerThatCannotBeWrittenEndsWithAFailure)
{
    const ProgramRun run = runWithoutDisplay(CLAMPMETER_EXECUTABLE, "--help", "/dev/full");
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 1) << run.status;
}

TEST(ProgramStart, WithoutADisplayOrWithAnUnknownOptionTheProgramsSaySoAndExitWithoutAnAbort)
{
    struct Case {
        const char* environment;
        const char* program;
        const char* arguments;
        int exitCode;
        std::string says;
    };
    const std::string noDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM";
    const std::string deadDisplay = "env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb DISPLAY=:987";
    const std::string offscreen = "env QT_QPA_PLATFORM=offscreen";
    const std::string noDisplayWords = ": no display to open the window on: neither DISPLAY nor "
                                       "WAYLAND_DISPLAY is set. Start it in a desktop session";
    const std::string deadDisplayWords
        = ": cannot open a window: no window system answers (DISPLAY=:987). Start it in a "
          "desktop session";
    const Case cases[] = {
        {noDisplay.c_str(), CLAMPMETER_EXECUTABLE, "", 1, "clampmeter" + noDisplayWords},
        {noDisplay.c_str(), CLAMPMETER_DEMO_PATH, "", 1, "clampmeter-demo" + noDisplayWords},
        {deadDisplay.c_str(), CLAMPMETER_EXECUTABLE, "", 1, "clampmeter" + deadDisplayWords},
        {deadDisplay.c_str(), CLAMPMETER_DEMO_PATH, "", 1, "clampmeter-demo" + deadDisplayWords},
        {offscreen.c_str(), CLAMPMETER_EXECUTABLE, "--frob", 2,
            "clampmeter: unknown option '--frob' (see clampmeter --help)"},
        {offscreen.c_str(), CLAMPMETER_EXECUTABLE, "-- stray", 2,
            "clampmeter: unknown option 'stray' (see clampmeter --help)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.program) + " " + c.arguments + " with " + c.environment);
        const ProgramRun run = runProgram(c.environment, c.program, c.arguments);
        ASSERT_TRUE(WIFEXITED(run.status)) << run.status;
        EXPECT_EQ(WEXITSTATUS(run.status), c.exitCode) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("Aborted"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

} // namespace
} // namespace clampmeter
