// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/log_options.h"

#include "cli_commands.h"
#include "mqtt/broker_url.h"
#include "mqtt/mqtt_topics.h"
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

std::string takeMqttOption(
    std::string_view name, std::optional<std::string_view> value, MqttOptions& mqtt);

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
    } else {
        return takeMqttOption(name, value, options.mqtt);
    }
    return {};
}

// The broker's options: their values alone; how they go together is checkMqttOptions()'s.
std::string takeMqttOption(
    std::string_view name, std::optional<std::string_view> value, MqttOptions& mqtt)
{
    if (name == "--mqtt-buffer") {
        const auto buffer = parseWholeNumber<std::uint64_t>(
            value.value_or(""), 1, std::numeric_limits<std::uint64_t>::max());
        if (!buffer)
            return "--mqtt-buffer needs a whole number of at least 1";
        mqtt.buffer = *buffer;
        return {};
    }
    if (!value || value->empty())
        return std::string(name) + " needs a value";
    const std::string text(*value);
    if (name == "--mqtt")
        mqtt.url = text;
    else if (name == "--mqtt-ca")
        mqtt.caFile = text;
    else if (name == "--mqtt-password-file")
        mqtt.passwordFile = text;
    else if (name == "--mqtt-topic")
        mqtt.topicPrefix = text;
    else if (name == "--mqtt-id")
        mqtt.id = text;
    else if (name == "--mqtt-discovery-prefix")
        mqtt.discoveryPrefix = text;
    return {};
}

std::string checkMqttOptions(const MqttOptions& mqtt)
{
    std::string problem;
    const auto url = parseBrokerUrl(mqtt.url, problem);
    if (!url)
        return "--mqtt: " + problem;
    if (!mqtt.caFile.empty() && !url->tls)
        return "--mqtt-ca needs an mqtts:// broker";
    if (!mqtt.passwordFile.empty() && url->user.empty())
        return "--mqtt-password-file needs a user name in the URL (mqtt://USER@host)";
    if (!isTopicPrefix(mqtt.topicPrefix))
        return "--mqtt-topic needs a topic of UTF-8 text without control characters, '+', '#', "
               "a '$' at its start or a '/' at either end";
    if (!mqtt.id.empty() && !isMqttDeviceId(mqtt.id))
        return "--mqtt-id needs 1 to 64 letters, digits, '_' or '-'";
    if (!isTopicPrefix(mqtt.discoveryPrefix))
        return "--mqtt-discovery-prefix needs a topic of UTF-8 text without control characters, "
               "'+', '#', a '$' at its start or a '/' at either end";
    return {};
}

#ifdef _WIN32
constexpr std::string_view kFindsHelp
    = "    Log every reading of the meter, for days, without a desktop. Finds the\n"
      "    bridge as clampmeter does (the CP210x bridge's port in the serial device\n"
      "    map) or reads --device PORT (COM3, or COM17: every number works), at 2400\n"
      "    baud, 8N1, read-only, and cuts frames by timing as the program does. Each\n"
      "    reading is one line, written whole and flushed at once.\n";
// cmd leaves a % alone on its command line, but a batch file wants it doubled.
constexpr std::string_view kDailyHelp
    = "                     --output energy-%Y-%m-%d.csv writes one file a day (in a\n"
      "                     batch file: energy-%%Y-%%m-%%d.csv).\n";
constexpr std::string_view kWaitHelp
    = "    --wait           Wait for a bridge (or the --device) that is missing at\n"
      "                     the start.\n";
// Publishing to a broker is not in the Windows build.
constexpr std::string_view kBrokerHelp
    = "    --mqtt URL       Not available in this build: publishing to an MQTT broker\n"
      "                     is for Linux.\n";
constexpr std::string_view kStopHelp
    = "    Ctrl+C and Ctrl+Break end it cleanly. When the line goes away (a pulled\n"
      "    cable) or will not open, it says so once with the time and looks for the\n"
      "    bridge every second, also under another port, until it is back: nothing\n"
      "    needs to be started again. No data for 2 s is noted once per silence. In a\n"
      "    console, standard error keeps a status line; at the end it says how many\n"
      "    readings were logged and candidates rejected, the disconnections and the\n"
      "    time without data.\n";
constexpr std::string_view kExitHelp
    = "    Exit codes: 0 a clean end, 1 no bridge at the start (without --wait) or the\n"
      "    output could not be written, 2 bad options (--mqtt, a --device that does\n"
      "    not exist without --wait).\n";
#else
constexpr std::string_view kFindsHelp
    = "    Log every reading of the meter, for days, without a desktop. Finds the\n"
      "    bridge as clampmeter does (the first CP210x serial device) or reads\n"
      "    --device PATH, at 2400 baud, 8N1, read-only, and cuts frames by timing as\n"
      "    the program does. Each reading is one line, written whole and flushed at\n"
      "    once.\n";
constexpr std::string_view kDailyHelp
    = "                     --output 'energy-%Y-%m-%d.csv' writes one file a day.\n";
constexpr std::string_view kWaitHelp
    = "    --wait           Wait for a bridge (or the --device) that is missing at\n"
      "                     the start, and for a broker that refuses the login.\n";
constexpr std::string_view kBrokerHelp
    = "    --mqtt URL       Publish every reading to an MQTT broker too:\n"
      "                     mqtt://[USER@]HOST[:PORT] (port 1883) or mqtts://… (8883,\n"
      "                     TLS verified against the system's certificates, or only\n"
      "                     --mqtt-ca FILE's). The password comes from the variable\n"
      "                     CLAMPMETER_MQTT_PASSWORD or --mqtt-password-file FILE,\n"
      "                     never from the command line. Each reading goes to\n"
      "                     PREFIX/ID/reading (QoS 1) as the jsonl object with \"seq\",\n"
      "                     numbered on from run to run; retained PREFIX/ID/vac, aac,\n"
      "                     kw, kva, kvar, pf and energy hold each function's last\n"
      "                     number, PREFIX/ID/availability \"online\" or \"offline\" and\n"
      "                     PREFIX/ID/link the line's state. Home Assistant finds the\n"
      "                     meter by its MQTT discovery (--mqtt-discovery-prefix,\n"
      "                     default homeassistant; --no-mqtt-discovery). While the\n"
      "                     broker is away the readings wait on disk in\n"
      "                     ~/.local/state/clampmeter/mqtt/ID (--mqtt-buffer N, default\n"
      "                     1000000, drops the oldest beyond N) and go in order once\n"
      "                     it is back, also from the next run. With --mqtt and no\n"
      "                     --output nothing goes to standard output.\n"
      "    --mqtt-topic PREFIX  Topics below PREFIX (default clampmeter).\n"
      "    --mqtt-id ID     The meter's id in its topics (default: the bridge's USB\n"
      "                     serial number, else its device name).\n";
constexpr std::string_view kStopHelp
    = "    SIGINT (Ctrl+C) and SIGTERM end it cleanly. When the line goes away (a\n"
      "    pulled cable) or will not open, it says so once with the time and looks\n"
      "    for the bridge every second, also under another name, until it is back:\n"
      "    nothing needs to be started again. No data for 2 s is noted once per\n"
      "    silence. On a terminal, standard error keeps a status line; at the end it\n"
      "    says how many readings were logged and candidates rejected, the\n"
      "    disconnections and the time without data.\n";
constexpr std::string_view kExitHelp
    = "    Exit codes: 0 a clean end, 1 no bridge at the start (without --wait), the\n"
      "    output could not be written, or the broker refused the login or its\n"
      "    certificate at the start (without --wait), 2 bad options (a broker URL, CA\n"
      "    file or password file that will not do, a --device that does not exist\n"
      "    without --wait).\n";
#endif

} // namespace

const std::string_view kLogHelp = [] {
    static const std::string text = std::string(kLogSynopsis) + std::string(kFindsHelp)
        + "    --format csv     (default) a header line, then\n"
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
        + std::string(kDailyHelp)
        + "    --count N        End after N readings.\n"
          "    --duration SECONDS  End after that long.\n"
        + std::string(kWaitHelp) + std::string(kBrokerHelp) + std::string(kStopHelp)
        + std::string(kExitHelp);
    return std::string_view(text);
}();

std::string parseLogOptions(std::span<const std::string_view> args, LogOptions& options)
{
    bool brokerOptions = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const OptionWord word = splitOptionWord(args[i]);
        const std::string_view name = word.name;
        std::optional<std::string_view> value = word.value;
        const bool flag
            = name == "--help" || name == "-h" || name == "--wait" || name == "--no-mqtt-discovery";
        const bool mqttValue = name == "--mqtt-ca" || name == "--mqtt-password-file"
            || name == "--mqtt-topic" || name == "--mqtt-id" || name == "--mqtt-buffer"
            || name == "--mqtt-discovery-prefix";
        const bool withValue = name == "--format" || name == "--output" || name == "--device"
            || name == "--count" || name == "--duration" || name == "--mqtt" || mqttValue;
        brokerOptions |= mqttValue || name == "--no-mqtt-discovery";
        if (flag && value)
            return std::string(name) + " takes no value";
        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--wait") {
            options.wait = true;
        } else if (name == "--no-mqtt-discovery") {
            options.mqtt.discovery = false;
        } else if (withValue) {
            if (!value && i + 1 < args.size())
                value = args[++i];
            if (std::string problem = takeOption(name, value, options); !problem.empty())
                return problem;
        } else {
            return "unknown option '" + std::string(args[i]) + "'";
        }
    }
    if (options.help)
        return {};
    if (options.mqtt.url.empty())
        return brokerOptions ? "the --mqtt-… options need --mqtt URL" : std::string();
    return checkMqttOptions(options.mqtt);
}

} // namespace clampmeter::cli
