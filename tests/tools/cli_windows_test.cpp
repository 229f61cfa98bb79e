// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// clampmeter-cli on Windows: decode reads a capture as raw bytes, also from a redirected
// standard input, with the same exit codes as elsewhere; simulate's outlets say what Windows
// lacks instead of failing some other way; log and ports speak of Windows, and log refuses
// what this build lacks. (log and ports on a real line: cli_log_under_wine.sh.)

#include "cli_commands.h"

#include "../registry/temp_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace clampmeter {
namespace {

struct CommandRun {
    int code = -1;
    std::string out;
    std::string err;
};

CommandRun simulate(std::vector<std::string_view> args)
{
    std::ostringstream out;
    std::ostringstream err;
    CommandRun run;
    run.code = cli::runSimulate(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

CommandRun decode(const std::string& bytes)
{
    std::istringstream in(bytes);
    std::ostringstream out;
    std::ostringstream err;
    CommandRun run;
    run.code = cli::runDecode({}, in, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

/// clampmeter-cli.exe in the build tree, found from this program's own place in it: beside
/// it where the build puts every program in one folder (with Qt), else in tools/.
std::filesystem::path cliPath()
{
    std::array<char, MAX_PATH> self {};
    GetModuleFileNameA(nullptr, self.data(), static_cast<DWORD>(self.size()));
    const std::filesystem::path folder = std::filesystem::path(self.data()).parent_path();
    const std::filesystem::path beside = folder / "clampmeter-cli.exe";
    if (std::filesystem::exists(beside))
        return beside;
    return folder / ".." / ".." / "tools" / "clampmeter-cli.exe";
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(CliOnWindows, DecodeReadsARedirectedCaptureAsRawBytes)
{
    // A capture holds any byte: a standard input in text mode would end it at the first 0x1A
    // and turn CR LF into LF, and a standard output in text mode would write CR LF lines.
    const CommandRun first = simulate({"--count", "20", "--seed", "7"});
    const CommandRun second = simulate({"--count", "20", "--seed", "8"});
    ASSERT_EQ(first.code + second.code, 0) << first.err << second.err;
    const std::string capture = first.out + "\r\n\x1A\r\n" + second.out;
    const CommandRun inProcess = decode(capture);
    ASSERT_EQ(inProcess.code, 0) << inProcess.err;

    TempFolder folder;
    const auto input = folder.path() / "capture.bin";
    const auto output = folder.path() / "decoded.txt";
    std::ofstream(input, std::ios::binary) << capture;
    // cmd /c drops the outer quotes of a command that starts with one.
    const std::string command = "\"\"" + cliPath().string() + "\" decode < \"" + input.string()
        + "\" > \"" + output.string() + "\"\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(readFile(output), inProcess.out);
}

TEST(CliOnWindows, DecodeOfAFileThatCannotBeReadIsAnInputError)
{
    TempFolder folder;
    const std::string missing = (folder.path() / "missing.bin").string();
    const std::string_view args[] = {missing};
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::runDecode(args, in, out, err), 2);
    EXPECT_NE(err.str().find("cannot read '" + missing + "'"), std::string::npos) << err.str();
    const std::string folderName = folder.path().string();
    const std::string_view folderArgs[] = {folderName};
    EXPECT_EQ(cli::runDecode(folderArgs, in, out, err), 2);
}

TEST(CliOnWindows, SimulateSaysThatPseudoTerminalsAreForLinux)
{
    const CommandRun run = simulate({"--pty", "--count", "1"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("--pty is available on Linux only"), std::string::npos) << run.err;
}

TEST(CliOnWindows, SimulateNamesAPortItCannotOpen)
{
    const CommandRun run = simulate({"--device", "COM250", "--count", "1"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("cannot open COM250"), std::string::npos) << run.err;
}

TEST(CliOnWindows, SimulateWritesTheFramesToASerialPort)
{
    // The far end of the port is read by another program, which writes what it reads to a
    // file (scripts/windows-test links a COM port of wine's to a pseudo-terminal for this).
    const char* port = std::getenv("CLAMPMETER_TEST_COM_PORT");
    const char* capture = std::getenv("CLAMPMETER_TEST_COM_CAPTURE");
    if (port == nullptr || capture == nullptr)
        GTEST_SKIP() << "needs a serial port whose far end is captured to a file "
                        "(CLAMPMETER_TEST_COM_PORT, CLAMPMETER_TEST_COM_CAPTURE)";
    const CommandRun run
        = simulate({"--device", port, "--count", "5", "--interval", "100", "--seed", "3"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "");
    const std::string expected = simulate({"--count", "5", "--interval", "100", "--seed", "3"}).out;
    ASSERT_EQ(expected.size(), 5U * 17U);
    for (int wait = 0; wait < 50 && readFile(capture).size() < expected.size(); ++wait)
        Sleep(100);
    EXPECT_EQ(readFile(capture), expected);
}

CommandRun linkCommand(
    int (*command)(std::span<const std::string_view>, std::ostream&, std::ostream&),
    std::vector<std::string_view> args)
{
    std::ostringstream out;
    std::ostringstream err;
    CommandRun run;
    run.code = command(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

TEST(CliOnWindows, HelpTextsSpeakOfWindows)
{
    struct Case {
        const char* command;
        CommandRun run;
        std::vector<const char*> windowsWords;
    };
    const Case cases[] {
        {"simulate", simulate({"--help"}), {"Ctrl+C", "COM17"}},
        {"log", linkCommand(cli::runLog, {"--help"}), {"Ctrl+C", "COM17", "--device PORT"}},
        {"ports", linkCommand(cli::runPorts, {"--help"}), {"SERIALCOMM", "silabser0"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.run.code, 0) << c.command;
        for (const char* posixOnly : {"SIGINT", "SIGTERM", "/dev/", "usermod", "~/", "mqtts"})
            EXPECT_EQ(c.run.out.find(posixOnly), std::string::npos) << c.command << posixOnly;
        for (const char* word : c.windowsWords)
            EXPECT_NE(c.run.out.find(word), std::string::npos) << c.command << word;
        std::istringstream lines(c.run.out);
        for (std::string line; std::getline(lines, line);)
            EXPECT_LE(line.size(), 80U) << c.command << line;
    }
}

TEST(CliOnWindows, LogRefusesABrokerAndAPortThatIsNotThere)
{
    // Publishing to a broker is not in the Windows build: its own message, before any port.
    const CommandRun broker = linkCommand(cli::runLog, {"--mqtt", "mqtt://broker.lan"});
    EXPECT_EQ(broker.code, 2);
    EXPECT_NE(broker.err.find("--mqtt: this build cannot publish to a broker"), std::string::npos)
        << broker.err;
    for (const std::string_view port : {"COM250", "\\\\.\\COM250"}) {
        const CommandRun missing = linkCommand(cli::runLog, {"--device", port});
        EXPECT_EQ(missing.code, 2) << port;
        EXPECT_NE(missing.err.find("--device " + std::string(port) + " does not exist"),
            std::string::npos)
            << missing.err;
    }
}

} // namespace
} // namespace clampmeter
