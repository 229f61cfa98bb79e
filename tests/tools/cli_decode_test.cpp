// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli_commands.h"
#include "platform/pseudo_terminal.h"
#include "shared/version.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <poll.h>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace clampmeter::cli {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using testing::ElementsAre;
using testing::ElementsAreArray;

Bytes frame(std::uint8_t code, float main, float secondary, std::array<std::uint8_t, 4> head = {})
{
    Bytes bytes {0x68, 0x68, head[0], head[1], head[2], head[3], code};
    for (const float value : {main, secondary}) {
        auto bits = std::bit_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i, bits >>= 8)
            bytes.push_back(static_cast<std::uint8_t>(bits & 0xFFU));
    }
    bytes.insert(bytes.end(), {0xAB, 0xCD});
    return bytes;
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct DecodeResult {
    int exitCode = 0;
    std::vector<std::string> lines;
    std::string err;
};

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

DecodeResult decode(const Bytes& input, std::vector<std::string_view> args = {})
{
    std::istringstream in(std::string(input.begin(), input.end()));
    std::ostringstream out;
    std::ostringstream err;
    DecodeResult run;
    run.exitCode = runDecode(args, in, out, err);
    run.lines = splitLines(out.str());
    run.err = err.str();
    return run;
}

const Bytes kVoltage = frame(1, 229.9F, 50.0F, {0, 0, 5, 0});
const std::string kVoltageLine = R"({"accepted":true,"fun":"FUN_VAC","main":"229.8",)"
                                 R"("secondary":"50","class":"AC","unit":"v","secondaryClass":)"
                                 R"("FREQ","secondaryUnit":"Hz","dial":2,"number":"05",)"
                                 R"("wiring":false,"bat":false,"mr":false,"phase":null,)"
                                 R"("mainValue":229.9,"secondaryValue":50})";
const Bytes kCurrent = frame(2, 12.5F, 230.0F, {0, 1, 0, 0});
const std::string kCurrentLine = R"({"accepted":true,"fun":"FUN_AAC","main":"12.5",)"
                                 R"("secondary":"230","class":"AC","unit":"A","secondaryClass":)"
                                 R"("AC","secondaryUnit":"v","dial":3,"number":"00",)"
                                 R"("wiring":false,"bat":false,"mr":false,"phase":"@1",)"
                                 R"("mainValue":12.5,"secondaryValue":230})";

TEST(CliDecode, AcceptedFramesPrintEveryKeyInOrder)
{
    Bytes energy = frame(7, 1500.9F, 0.0F, {3, 3, 255, 0x03});
    energy[11] = 7;
    energy[12] = 100;
    struct Case {
        const char* name;
        Bytes bytes;
        std::string line;
    };
    const Case cases[] = {
        {"voltage", kVoltage, kVoltageLine},
        {"power_factor_with_flags", frame(6, 0.9F, 50.0F, {3, 3, 255, 0x07}),
            R"({"accepted":true,"fun":"FUN_COS","main":"----","secondary":"----",)"
            R"("class":" ","unit":"PF","secondaryClass":"","secondaryUnit":"PG","dial":7,)"
            R"("number":"255","wiring":true,"bat":true,"mr":true,"phase":"@3",)"
            R"("mainValue":0.9,"secondaryValue":50})"},
        {"energy_counter", energy,
            R"({"accepted":true,"fun":"FUN_ENERGY","main":"1500","secondary":"100:07",)"
            R"("class":"AC","unit":"kwh","secondaryClass":"","secondaryUnit":"","dial":8,)"
            R"("number":"255","wiring":true,"bat":true,"mr":true,"phase":"@3",)"
            R"("mainValue":1500.9,"secondaryValue":0})"},
        {"unknown_function", frame(9, -2.5F, 1.0e-45F, {0, 2, 9, 0}),
            R"({"accepted":true,"fun":"","main":"","secondary":"","class":null,"unit":null,)"
            R"("secondaryClass":null,"secondaryUnit":null,"dial":null,"number":"09",)"
            R"("wiring":false,"bat":false,"mr":false,"phase":"@2",)"
            R"("mainValue":-2.5,"secondaryValue":1e-45})"},
        {"not_finite_values",
            frame(1, std::numeric_limits<float>::infinity(), std::bit_cast<float>(0xFFC00001U)),
            R"({"accepted":true,"fun":"FUN_VAC","main":"OL","secondary":"----","class":"AC",)"
            R"("unit":"v","secondaryClass":"FREQ","secondaryUnit":"Hz","dial":2,)"
            R"("number":"00","wiring":false,"bat":false,"mr":false,"phase":null,)"
            R"("mainValue":null,"secondaryValue":null})"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodeResult run = decode(c.bytes);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_THAT(run.lines, ElementsAre(c.line));
        EXPECT_EQ(run.err, "");
    }
}

TEST(CliDecode, CutsCandidatesAndResynchronisesAfterRejects)
{
    const Bytes garbage {0x00, 0x11, 0x22};
    const std::string rejectedAt0 = R"({"accepted":false,"offset":0})";
    struct Case {
        const char* name;
        Bytes stream;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"back_to_back", join({kVoltage, kCurrent}), {kVoltageLine, kCurrentLine}},
        // The search starts inside the rejected candidate, not after its 17 bytes.
        {"garbage_then_frames", join({garbage, kVoltage, kCurrent}),
            {rejectedAt0, kVoltageLine, kCurrentLine}},
        {"a_lone_header_byte_is_not_a_header", join({{0x68, 0x00}, kVoltage}),
            {rejectedAt0, kVoltageLine}},
        {"gap_between_frames", join({kVoltage, garbage, {0x68}, garbage, kCurrent}),
            {kVoltageLine, R"({"accepted":false,"offset":17})", kCurrentLine}},
        {"no_header_anywhere", Bytes(60, 0x55), {rejectedAt0}},
        {"trailing_partial_frame", join({kVoltage, Bytes(kCurrent.begin(), kCurrent.end() - 1)}),
            {kVoltageLine}},
        {"header_too_close_to_the_end",
            join({garbage, Bytes(kVoltage.begin(), kVoltage.end() - 1)}), {rejectedAt0}},
        {"empty_input", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodeResult run = decode(c.stream);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_THAT(run.lines, ElementsAreArray(c.lines));
    }
}

float printedValue(const std::string& line, const std::string& key)
{
    const auto at = line.find("\"" + key + "\":");
    if (at == std::string::npos)
        return std::numeric_limits<float>::quiet_NaN();
    return std::strtof(line.c_str() + at + key.size() + 3, nullptr);
}

TEST(CliDecode, PrintedValuesReadBackToTheSameFloat)
{
    std::vector<float> values {229.9F, 0.1F, 0.3F, -0.0F, 1.0e-45F,
        std::numeric_limits<float>::min(), std::numeric_limits<float>::max(), -3.0e38F, 16777215.0F,
        1.0e10F};
    std::mt19937 random(20260114);
    std::uniform_int_distribution<std::uint32_t> anyBits;
    while (values.size() < 2000) {
        const auto v = std::bit_cast<float>(anyBits(random));
        if (std::isfinite(v))
            values.push_back(v);
    }
    Bytes stream;
    for (std::size_t i = 0; i + 1 < values.size(); i += 2) {
        const Bytes f = frame(3, values[i], values[i + 1]);
        stream.insert(stream.end(), f.begin(), f.end());
    }
    const DecodeResult run = decode(stream);
    ASSERT_EQ(run.lines.size(), values.size() / 2);
    for (std::size_t i = 0; i < run.lines.size(); ++i) {
        for (const auto& [key, value] : {std::pair {"mainValue", values[2 * i]},
                 std::pair {"secondaryValue", values[2 * i + 1]}}) {
            const float back = printedValue(run.lines[i], key);
            ASSERT_EQ(std::bit_cast<std::uint32_t>(back), std::bit_cast<std::uint32_t>(value))
                << run.lines[i];
        }
    }
}

class CliDecodeFile : public testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::filesystem::path(testing::TempDir())
            / (std::string("cli_decode_") + info->name() + ".bin");
    }
    void TearDown() override { std::filesystem::remove(m_path); }

    void write(const Bytes& bytes) const
    {
        std::ofstream file(m_path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    }

    std::string errorPath() const { return m_path.string() + ".err"; }

    std::filesystem::path m_path;
};

constexpr auto kPatience = 10s;

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Reads from `fd` until `lines` newlines have come, the writer closes, or patience runs out.
std::string readLines(int fd, std::size_t lines = std::numeric_limits<std::size_t>::max())
{
    std::string text;
    std::array<char, 4096> chunk {};
    pollfd readable {fd, POLLIN, 0};
    while (static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) < lines
        && ::poll(&readable, 1, static_cast<int>(std::chrono::milliseconds(kPatience).count()))
            > 0) {
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n <= 0)
            break;
        text.append(chunk.data(), static_cast<std::size_t>(n));
    }
    return text;
}

int exitCodeOf(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_F(CliDecodeFile, ReadsFileBytesWithoutTextConversion)
{
    // CR LF, Ctrl-Z and NUL in the floats must reach the decoder unchanged.
    const Bytes awkward
        = frame(2, std::bit_cast<float>(0x420D0A1AU), std::bit_cast<float>(0x0000000DU));
    write(join({awkward, kVoltage}));
    const std::string path = m_path.string();
    const DecodeResult run = decode({}, {path});
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.lines.size(), 2U);
    EXPECT_NE(run.lines[0].find(R"("main":"35.2")"), std::string::npos) << run.lines[0];
    EXPECT_EQ(run.lines[1], kVoltageLine);
}

TEST_F(CliDecodeFile, UnreadableInputIsExitTwoWithOneErrorLine)
{
    const std::string missing = (m_path.parent_path() / "no_such_capture.bin").string();
    const std::string directory = m_path.parent_path().string();
    for (const std::string& path : {missing, directory}) {
        const DecodeResult run = decode(kVoltage, {path});
        EXPECT_EQ(run.exitCode, 2) << path;
        EXPECT_TRUE(run.lines.empty());
        EXPECT_THAT(splitLines(run.err), ElementsAre(testing::HasSubstr(path)));
    }
    const DecodeResult tooMany = decode(kVoltage, {"a", "b"});
    EXPECT_EQ(tooMany.exitCode, 2);
    EXPECT_EQ(splitLines(tooMany.err).size(), 1U);
}

TEST(CliDecode, HelpPrintsTheParagraph)
{
    const DecodeResult run = decode(kVoltage, {"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, splitLines(std::string(kDecodeHelp)));
    EXPECT_THAT(std::string(kDecodeHelp), testing::StartsWith("clampmeter-cli decode [FILE]\n"));
}

TEST_F(CliDecodeFile, BuiltExecutableDecodesAFileAndStandardInput)
{
    write(join({{0x00, 0x11, 0x22}, kVoltage, kCurrent, {0x68}}));
    const std::vector<std::string> expected {
        R"({"accepted":false,"offset":0})", kVoltageLine, kCurrentLine};
    const std::string program = CLAMPMETER_CLI_PATH;
    for (const std::string& command : {program + " decode '" + m_path.string() + "'",
             program + " decode < '" + m_path.string() + "'"}) {
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string output;
        std::array<char, 4096> chunk {};
        for (std::size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0;)
            output.append(chunk.data(), n);
        const int status = pclose(pipe);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
        EXPECT_EQ(splitLines(output), expected) << command;
    }
    const int status
        = std::system((program + " decode /nonexistent/capture.bin 2>/dev/null").c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
}

TEST(CliVersion, TheBuiltExecutableNamesItselfAndTheProjectsVersion)
{
    FILE* pipe = popen((std::string(CLAMPMETER_CLI_PATH) + " --version").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::array<char, 256> chunk {};
    const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), pipe);
    const int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(std::string(chunk.data(), n), "clampmeter-cli " + std::string(kVersion) + "\n");
    EXPECT_FALSE(kVersion.empty());
}

TEST(CliUsage, WithoutACommandAShortUsageGoesToStandardErrorPointingAtHelp)
{
    const std::string err = testing::TempDir() + "cli_usage.err";
    const int status
        = std::system((std::string(CLAMPMETER_CLI_PATH) + " >/dev/null 2>'" + err + "'").c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
    std::ifstream in(err);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Usage: clampmeter-cli COMMAND [OPTIONS]");
    EXPECT_LE(lines.size(), 12U) << "the whole help, where a short usage was due";
    EXPECT_EQ(lines.back(),
        "clampmeter-cli --help shows every command's options; clampmeter-cli --version.");
    for (const char* command : {"simulate", "decode", "log", "ports", "journal"}) {
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.starts_with("  " + std::string(command));
        })) << command;
    }
    std::filesystem::remove(err);
}

TEST_F(CliDecodeFile, ALiveLineThatGoesAwayEndsWithWhatWasReadAndExitCode1)
{
    for (const bool asFile : {true, false}) {
        auto line = PseudoTerminal::open();
        ASSERT_TRUE(line.has_value());
        const std::string path = line->slavePath();
        const std::string command = std::string(CLAMPMETER_CLI_PATH) + " decode "
            + (asFile ? "" : "< ") + path + " 2>'" + errorPath() + "'";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);

        // Three frames and the start of a fourth, which the hang-up cuts short.
        ASSERT_TRUE(line->write(join({kVoltage, kCurrent, kVoltage, Bytes(5, 0x68)})));
        std::string output = readLines(fileno(pipe), 3);
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (line->unreadBytes() != 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(10ms);
        line->hangUp();
        output += readLines(fileno(pipe));
        const int status = pclose(pipe);

        SCOPED_TRACE(command);
        EXPECT_EQ(exitCodeOf(status), 1);
        EXPECT_THAT(splitLines(output), ElementsAre(kVoltageLine, kCurrentLine, kVoltageLine));
        const std::string name = asFile ? "'" + path + "'" : "standard input";
        EXPECT_THAT(splitLines(readFile(errorPath())),
            ElementsAre("clampmeter-cli decode: " + name + " went away after 56 bytes"));
    }
    std::filesystem::remove(errorPath());
}

TEST_F(CliDecodeFile, InputWhoseFirstReadFailsIsExitTwoWithOneErrorLine)
{
    const std::string program = CLAMPMETER_CLI_PATH;
    const std::string directory = m_path.parent_path().string();
    struct Case {
        const char* name;
        std::string arguments;
        std::string message;
    };
    const Case cases[] = {
        {"directory_on_standard_input", " < '" + directory + "'",
            "cannot read standard input: Is a directory"},
        // The child's own memory, whose first page is never mapped.
        {"file_whose_reads_fail", " /proc/self/mem",
            "cannot read '/proc/self/mem': Input/output error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int status = std::system((program + " decode" + c.arguments + " >'" + m_path.string()
            + "' 2>'" + errorPath() + "'")
                                           .c_str());
        EXPECT_EQ(exitCodeOf(status), 2);
        EXPECT_EQ(readFile(m_path.string()), "");
        EXPECT_THAT(
            splitLines(readFile(errorPath())), ElementsAre("clampmeter-cli decode: " + c.message));
    }
    std::filesystem::remove(errorPath());
}

TEST_F(CliDecodeFile, AFullDiskIsExitCode1WithOneErrorLine)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    Bytes many;
    for (int i = 0; i < 2000; ++i)
        many.insert(many.end(), kVoltage.begin(), kVoltage.end());
    const std::string program = CLAMPMETER_CLI_PATH;
    const std::string capture = m_path.string();
    struct Case {
        const char* name;
        Bytes input;
        std::string command;
    };
    const Case cases[] = {
        // Three lines wait in the output buffer until the last flush.
        {"failing_at_the_last_flush", join({kVoltage, kCurrent, kVoltage}), " decode " + capture},
        {"failing_part_way", many, " decode < " + capture},
        {"help", {}, " decode --help"},
        {"help_of_the_program", {}, " --help"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write(c.input);
        const int status
            = std::system((program + c.command + " >/dev/full 2>'" + errorPath() + "'").c_str());
        EXPECT_EQ(exitCodeOf(status), 1);
        EXPECT_THAT(splitLines(readFile(errorPath())),
            ElementsAre(testing::EndsWith(": cannot write the output: No space left on device")));
    }
    std::filesystem::remove(errorPath());
}

} // namespace
} // namespace clampmeter::cli
