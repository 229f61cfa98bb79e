// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/log_options.h"

#include "cli_commands.h"
#include "option_words.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace clampmeter::cli {
namespace {

// Ten years: longer than any run, short enough for a timer.
constexpr double kLongestDurationSeconds = 10.0 * 366 * 24 * 3600;

std::optional<std::chrono::milliseconds> parseSeconds(std::string_view text)
{
    double seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc {} || end != text.data() + text.size() || !std::isfinite(seconds)
        || seconds <= 0 || seconds > kLongestDurationSeconds)
        return std::nullopt;
    return std::chrono::milliseconds(std::llround(seconds * 1000));
}

std::string takeOption(
    std::string_view name, std::optional<std::string_view> value, LogOptions& options)
{
    if (name == "--format") {
        if (value == "csv")
            options.format = LogFormat::Csv;
        else if (value == "jsonl")
            options.format = LogFormat::Jsonl;
        else
            return "--format needs csv or jsonl";
    } else if (name == "--output") {
        if (!value || value->empty())
            return "--output needs a FILE";
        options.output = std::string(*value);
    } else if (name == "--device") {
        if (!value || value->empty())
            return "--device needs a PATH";
        options.device = std::string(*value);
    } else if (name == "--count") {
        options.count = parseWholeNumber<std::uint64_t>(
            value.value_or(""), 1, std::numeric_limits<std::uint64_t>::max());
        if (!options.count)
            return "--count needs a whole number of at least 1";
    } else if (name == "--duration") {
        options.duration = parseSeconds(value.value_or(""));
        if (!options.duration)
            return "--duration needs a number of seconds above 0";
    }
    return {};
}

} // namespace

const std::string_view kLogHelp = [] {
    static const std::string text = std::string(kLogSynopsis)
        + "    Log every reading of the meter, for days, without a desktop. Finds the\n"
          "    bridge as clampmeter does (the first CP210x serial device) or reads\n"
          "    --device PATH, at 2400 baud, 8N1, read-only, and cuts frames by timing as\n"
          "    the program does. Each reading is one line, written whole and flushed at\n"
          "    once.\n"
          "    --format csv     (default) a header line, then\n"
          "                     time,function,main,unit,secondary,secondary_unit,\n"
          "                     main_value,secondary_value,bat,mr,phase,wiring,number\n"
          "                     time is local, ISO 8601 with milliseconds and the UTC\n"
          "                     offset (2026-12-10T14:03:07.250+01:00); the texts are\n"
          "                     the panel's, the values the frame's floats (empty when\n"
          "                     not finite).\n"
          "    --format jsonl   one JSON object per line: \"time\" and the keys of decode.\n"
          "    --output FILE    Append to FILE (the CSV header only when it is new or\n"
          "                     empty) instead of standard output. strftime fields in\n"
          "                     the name start a new file when the name changes:\n"
          "                     --output 'energy-%Y-%m-%d.csv' writes one file a day.\n"
          "    --count N        End after N readings.\n"
          "    --duration SECONDS  End after that long.\n"
          "    --wait           Wait for a bridge (or the --device) that is missing at\n"
          "                     the start.\n"
          "    SIGINT (Ctrl+C) and SIGTERM end it cleanly. When the line goes away (a\n"
          "    pulled cable) or will not open, it says so once with the time and looks\n"
          "    for the bridge every second, also under another name, until it is back:\n"
          "    nothing needs to be started again. No data for 2 s is noted once per\n"
          "    silence. On a terminal, standard error keeps a status line; at the end it\n"
          "    says how many readings were logged and candidates rejected, the\n"
          "    disconnections and the time without data.\n"
          "    Exit codes: 0 a clean end, 1 no bridge at the start (without --wait) or\n"
          "    the output could not be written, 2 bad options or a --device that does\n"
          "    not exist (without --wait).\n";
    return std::string_view(text);
}();

std::string parseLogOptions(std::span<const std::string_view> args, LogOptions& options)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const OptionWord word = splitOptionWord(args[i]);
        const std::string_view name = word.name;
        std::optional<std::string_view> value = word.value;
        const bool flag = name == "--help" || name == "-h" || name == "--wait";
        const bool withValue = name == "--format" || name == "--output" || name == "--device"
            || name == "--count" || name == "--duration";
        if (flag && value)
            return std::string(name) + " takes no value";
        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--wait") {
            options.wait = true;
        } else if (withValue) {
            if (!value && i + 1 < args.size())
                value = args[++i];
            if (std::string problem = takeOption(name, value, options); !problem.empty())
                return problem;
        } else {
            return "unknown option '" + std::string(args[i]) + "'";
        }
    }
    return {};
}

} // namespace clampmeter::cli
