// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli_commands.h"

#include "burst_outlet.h"
#include "checked_output.h"
#include "option_words.h"
#include "platform/stop_signals.h"
#include "simulator/meter_simulator.h"
#include "terminals.h"

#include <cstdint>
#include <iostream>
#include <limits>
#include <optional>
#include <string>

namespace clampmeter::cli {
namespace {

constexpr std::string_view kCommand = "clampmeter-cli simulate";
constexpr std::string_view kSynopsis
    = "clampmeter-cli simulate [--pty | --device PATH] [--interval MS] [--count N]\n"
      "                        [--seed N] [--scenario NAME]\n";

#ifdef _WIN32
constexpr std::string_view kStopHelp
    = "    Runs until N bursts are written (--count, default: no end) or until Ctrl+C\n"
      "    or Ctrl+Break, which end it cleanly with exit code 0.\n";
constexpr std::string_view kLinePortHelp
    = "\n"
      "    --pty          Linux only: a pseudo-terminal to open as the meter's port.\n"
      "    --device PATH  Write to a serial port (such as COM3, or COM17: every number\n"
      "                   works) with a null-modem cable to the computer that runs the\n"
      "                   program, set to 2400 baud, 8 data bits, no parity, 1 stop\n"
      "                   bit.\n";
#else
constexpr std::string_view kStopHelp
    = "    Runs until N bursts are written (--count, default: no end) or until SIGINT\n"
      "    (Ctrl+C) or SIGTERM, which end it cleanly with exit code 0.\n";
constexpr std::string_view kLinePortHelp
    = "\n"
      "    --pty          Create a pseudo-terminal and print the path of its slave side\n"
      "                   (such as /dev/pts/3) as the first line of standard output;\n"
      "                   open that path as the meter's serial port. The bytes keep to\n"
      "                   the line's speed: each burst takes its time at 2400 baud\n"
      "                   (71 ms for a frame), then its gap. As on a real line, bytes\n"
      "                   that nobody reads are dropped once about 60 frames pile\n"
      "                   up. After the last of N bursts the line stays up until a\n"
      "                   reader has taken every byte, for at most 5 s, and then hangs\n"
      "                   up.\n"
      "    --device PATH  Write to an existing serial device (such as /dev/ttyUSB0 with\n"
      "                   a null-modem cable to the computer that runs the program),\n"
      "                   set to 2400 baud, 8 data bits, no parity, 1 stop bit, raw.\n";
#endif

std::string helpText()
{
    std::string text = std::string(kSynopsis)
        + "    Stream the frames of a simulated clamp meter, for trying the program without\n"
          "    a meter. Each frame is written as one burst and followed by a quiet gap of\n"
          "    MS milliseconds (--interval, 100 to 600000, default 500): the pause between\n"
          "    the end of one frame and the start of the next. Shorter gaps are refused:\n"
          "    the program finds where a frame begins only after 100 ms of quiet. Gaps\n"
          "    above 1900 ms are sent with a warning: the program takes 2 s without a\n"
          "    frame for a dead line and shows \"NO DATA\" between the frames.\n"
        + std::string(kStopHelp)
        + "    The same --seed (0 to 4294967295, default 1) and scenario give the same\n"
          "    bytes.\n"
        + std::string(kLinePortHelp)
        + "\n"
          "    Without --pty or --device the bytes go to standard output back to back, with\n"
          "    no gaps and no waiting, to make a capture file for decode; --count is then\n"
          "    required and standard output must not be a terminal:\n"
          "        clampmeter-cli simulate --count 20 > capture.bin\n"
          "    Scenarios (--scenario NAME, default tour):\n";
    for (const ScenarioInfo& info : simulatorScenarios()) {
        text += "      ";
        text += info.name;
        text.append(8 - std::min<std::size_t>(info.name.size(), 7), ' ');
        text += info.description;
        text += '\n';
    }
    text += "    In the faults scenario about one burst in seven is a fault: two frames back\n"
            "    to back (34 bytes), a frame with a wrong header, 1 to 8 stray bytes, or\n"
            "    2.5 s of silence.\n"
            "    Exit codes: 0 done or stopped, 1 the line could not be opened or went away,\n"
            "    or the output could not be written (a full disk), 2 bad options.\n";
    return text;
}

enum class Target : std::uint8_t { StandardOutput, Pty, Device };

struct SimulateOptions {
    Target target = Target::StandardOutput;
    std::string devicePath;
    SimulatorSettings settings;
    std::optional<std::uint64_t> count;
    bool help = false;
};

// Reads the options into `options`; returns what is wrong, or an empty text.
std::string parseOptions(std::span<const std::string_view> args, SimulateOptions& options)
{
    bool pty = false;
    bool device = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const OptionWord word = splitOptionWord(args[i]);
        const std::string_view name = word.name;
        std::optional<std::string_view> value = word.value;
        const auto takeValue = [&]() -> std::optional<std::string_view> {
            if (value)
                return value;
            if (i + 1 < args.size())
                return args[++i];
            return std::nullopt;
        };
        const bool flag = name == "--help" || name == "-h" || name == "--pty";
        if (flag && value)
            return std::string(name) + " takes no value";
        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--pty") {
            pty = true;
            options.target = Target::Pty;
        } else if (name == "--device") {
            const auto path = takeValue();
            if (!path || path->empty())
                return "--device needs a PATH";
            device = true;
            options.target = Target::Device;
            options.devicePath = std::string(*path);
        } else if (name == "--interval") {
            const auto ms = parseWholeNumber<std::int64_t>(
                takeValue().value_or(""), kShortestInterval.count(), kLongestInterval.count());
            if (!ms)
                return "--interval needs a number of milliseconds from 100 to 600000: the "
                       "program finds where a frame begins only after 100 ms of quiet";
            options.settings.interval = std::chrono::milliseconds(*ms);
        } else if (name == "--count") {
            options.count = parseWholeNumber<std::uint64_t>(
                takeValue().value_or(""), 1, std::numeric_limits<std::uint64_t>::max());
            if (!options.count)
                return "--count needs a whole number of at least 1";
        } else if (name == "--seed") {
            const auto seed = parseWholeNumber<std::uint32_t>(
                takeValue().value_or(""), 0, std::numeric_limits<std::uint32_t>::max());
            if (!seed)
                return "--seed needs a whole number from 0 to 4294967295";
            options.settings.seed = *seed;
        } else if (name == "--scenario") {
            const auto text = takeValue();
            const auto scenario = text ? scenarioFromName(*text) : std::nullopt;
            if (!scenario)
                return "--scenario needs one of the scenario names below";
            options.settings.scenario = *scenario;
        } else {
            return "unknown option '" + std::string(args[i]) + "'";
        }
    }
    if (pty && device)
        return "--pty and --device cannot be used together";
    return {};
}

int failed(const BurstOutlet& outlet, std::ostream& err)
{
    err << kCommand << ": " << outlet.failure() << '\n';
    return 1;
}

int streamBursts(
    BurstOutlet& outlet, const SimulateOptions& options, const StopSignals& stop, std::ostream& err)
{
    MeterSimulator simulator(options.settings);
    const bool keepGaps = options.target != Target::StandardOutput;
    for (std::uint64_t sent = 0; !options.count || sent < *options.count; ++sent) {
        if (stop.stopRequested())
            break;
        const SimulatedBurst burst = simulator.next();
        if (!outlet.write(burst.bytes))
            return failed(outlet, err);
        if (keepGaps && !stop.pause(burst.gap))
            break;
    }
    return outlet.finish(stop) ? 0 : failed(outlet, err);
}

} // namespace

const std::string_view kSimulateHelp = [] {
    static const std::string text = helpText();
    return std::string_view(text);
}();

int runSimulate(std::span<const std::string_view> args, std::ostream& out, std::ostream& err)
{
    SimulateOptions options;
    std::string problem = parseOptions(args, options);
    if (problem.empty() && !options.help && options.target == Target::StandardOutput) {
        if (!options.count)
            problem = "writing to standard output needs --count (or use --pty or --device)";
        else if (&out == &std::cout && standardOutputIsTerminal())
            problem = "standard output is a terminal: redirect it to a file, or use --pty or "
                      "--device";
    }
    if (!problem.empty()) {
        err << kCommand << ": " << problem << "\n"
            << kSynopsis << "Try '" << kCommand << " --help' for more.\n";
        return 2;
    }
    if (options.help)
        return writeText(kCommand, kSimulateHelp, out, err);

    const StopSignals stop;
    if (options.target == Target::StandardOutput)
        return streamBursts(*streamOutlet(out), options, stop, err);
    if (const std::string warning = longIntervalWarning(options.settings.interval);
        !warning.empty())
        err << kCommand << ": " << warning << '\n';

    std::string slavePath;
    OpenedOutlet opened = options.target == Target::Pty ? openPtyOutlet(slavePath)
                                                        : openDeviceOutlet(options.devicePath);
    if (const auto* reason = std::get_if<std::string>(&opened)) {
        err << kCommand << ": " << *reason << '\n';
        return 1;
    }
    // Nobody could open the line without its path.
    if (options.target == Target::Pty) {
        if (const int code = writeText(kCommand, slavePath + '\n', out, err); code != 0)
            return code;
    }
    return streamBursts(*std::get<std::unique_ptr<BurstOutlet>>(opened), options, stop, err);
}

} // namespace clampmeter::cli
