// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The logger's plain rules: CSV quoting, the time and file name formats, the lines, the
// link's messages and counters, the status line and the options.

#include "cli_commands.h"
#include "log/broker_texts.h"
#include "log/csv_record.h"
#include "log/link_watch.h"
#include "log/log_clock.h"
#include "log/log_file_name.h"
#include "log/log_line.h"
#include "log/log_messages.h"
#include "log/log_options.h"
#include "log/status_line.h"
#include "simulator/frame_encoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace clampmeter::cli {
namespace {

using namespace std::chrono_literals;

std::tm localTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(CsvRecord, QuotesExactlyTheFieldsThatNeedItByRfc4180)
{
    const std::vector<std::pair<std::string, std::string>> cases {
        {"229.8", "229.8"},
        {"", ""},
        {"@1", "@1"},
        {"a,b", "\"a,b\""},
        {"say \"OL\"", "\"say \"\"OL\"\"\""},
        {"\"", "\"\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\r", "\"cr\r\""},
        {" padded ", " padded "},
    };
    for (const auto& [text, field] : cases)
        EXPECT_EQ(csvField(text), field) << text;
    EXPECT_EQ(csvRecord({"a", "", "b,c", ""}), "a,,\"b,c\",");
}

TEST(LogTime, LocalIsoTimeWithMillisecondsAndTheUtcOffset)
{
    const std::vector<std::pair<LogInstant, std::string>> cases {
        {{localTime(2026, 12, 10, 14, 3, 7), 250, 3600}, "2026-12-10T14:03:07.250+01:00"},
        {{localTime(2026, 1, 1, 0, 0, 0), 0, 0}, "2026-01-01T00:00:00.000+00:00"},
        {{localTime(2026, 7, 9, 23, 59, 59), 999, -(3 * 3600 + 1800)},
            "2026-07-09T23:59:59.999-03:30"},
        {{localTime(2026, 3, 5, 5, 6, 7), 7, 5 * 3600 + 2700}, "2026-03-05T05:06:07.007+05:45"},
    };
    for (const auto& [instant, text] : cases) {
        EXPECT_EQ(isoTimestamp(instant), text);
        EXPECT_EQ(timeOfDay(instant), text.substr(11, 8));
    }
}

TEST(LogTime, TheSystemClockGivesTheOffsetOfItsTimeZone)
{
    const char* previous = std::getenv("TZ");
    const std::string saved = previous != nullptr ? previous : "";
    ::setenv("TZ", "UTC0", 1);
    const LogInstant utc = SystemLogClock().now();
    ::setenv("TZ", "XXX-5:30", 1);
    const LogInstant east = SystemLogClock().now();
    if (previous != nullptr)
        ::setenv("TZ", saved.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
    EXPECT_EQ(utc.utcOffsetSeconds, 0);
    EXPECT_EQ(east.utcOffsetSeconds, 5 * 3600 + 1800);
    EXPECT_TRUE(isoTimestamp(east).ends_with("+05:30")) << isoTimestamp(east);
    EXPECT_LT(utc.milliseconds, 1000);
}

TEST(LogFileName, StrftimeFieldsAreFilledInAndPlainNamesKept)
{
    const std::tm t = localTime(2026, 12, 10, 14, 3, 7);
    const std::vector<std::pair<std::string, std::string>> cases {
        {"energy-%Y-%m-%d.csv", "energy-2026-12-10.csv"},
        {"/var/log/meter/%Y/%m/%d-%H.jsonl", "/var/log/meter/2026/12/10-14.jsonl"},
        {"plain.csv", "plain.csv"},
        {"100%%.csv", "100%.csv"},
        {"", ""},
    };
    for (const auto& [pattern, name] : cases)
        EXPECT_EQ(logFileName(pattern, t), name) << pattern;
    EXPECT_EQ(logFileName(std::string(9000, 'a') + "%Y", t), "") << "longer than any path";
}

MeasurementFrame frameOf(const FrameFields& fields)
{
    const EncodedFrame bytes = encodeFrame(fields);
    return decodeFrame(bytes);
}

TEST(LogLine, JsonLinesAreDecodesLinesWithTheTimeFirst)
{
    const std::vector<FrameFields> frames {
        {.number = 5, .functionCode = 1, .mainValue = 229.9F, .secondaryValue = 50.0F},
        {.phase = 2, .flags = kFlagBat | kFlagNoNumber, .functionCode = 3, .mainValue = 1.5F},
        {.wiring = 3, .functionCode = 9, .mainValue = std::numeric_limits<float>::quiet_NaN()},
        {.flags = kFlagMr, .functionCode = 7, .mainValue = 12.25F},
    };
    for (const FrameFields& fields : frames) {
        const EncodedFrame bytes = encodeFrame(fields);
        std::istringstream capture(std::string(bytes.begin(), bytes.end()));
        std::ostringstream decoded;
        std::ostringstream errors;
        ASSERT_EQ(runDecode({}, capture, decoded, errors), 0) << errors.str();

        const std::string time = "2026-12-10T14:03:07.250+01:00";
        const std::string line = logLine(LogFormat::Jsonl, decodeFrame(bytes), time);
        EXPECT_EQ(line, "{\"time\":\"" + time + "\"," + decoded.str().substr(1));
    }
}

TEST(LogLine, CsvLinesHoldThePanelsTextsAndTheFramesFloats)
{
    const std::string time = "2026-12-10T14:03:07.250+01:00";
    const std::vector<std::pair<FrameFields, std::string>> cases {
        {{.phase = 0, .number = 5, .functionCode = 1, .mainValue = 229.9F, .secondaryValue = 50.0F},
            "FUN_VAC,229.8,v,50,Hz,229.9,50,false,false,,false,05"},
        {{.wiring = 3,
             .phase = 3,
             .number = 12,
             .flags = kFlagBat | kFlagMr,
             .functionCode = 2,
             .mainValue = -std::numeric_limits<float>::infinity(),
             .secondaryValue = std::numeric_limits<float>::quiet_NaN()},
            "FUN_AAC,----,A,----,v,,,true,true,@3,true,12"},
        // No function: the panel keeps its captions, so the line has none.
        {{.phase = 1, .functionCode = 0, .mainValue = 1.0F}, ",,,,,1,0,false,false,@1,false,00"},
    };
    EXPECT_EQ(logHeader(LogFormat::Csv), kCsvHeader);
    EXPECT_EQ(logHeader(LogFormat::Jsonl), "");
    for (const auto& [fields, rest] : cases)
        EXPECT_EQ(logLine(LogFormat::Csv, frameOf(fields), time), time + "," + rest + "\n");
}

class LinkWatchTest : public testing::Test {
protected:
    using Clock = LinkWatch::Clock;
    Clock::time_point at(std::chrono::milliseconds offset) const { return m_start + offset; }

    Clock::time_point m_start = Clock::now();
    LinkWatch watch {m_start};
};

TEST_F(LinkWatchTest, NoDataIsNotedOncePerSilenceAndTheEndOfTheSilenceWithItsLength)
{
    watch.opened("/dev/ttyUSB0", at(0ms));
    EXPECT_EQ(watch.batchArrived(at(500ms)), std::nullopt);
    EXPECT_EQ(watch.watchdogExpired(at(2500ms)), "no data for 2 s");
    EXPECT_EQ(watch.state(), LinkState::Silent);
    EXPECT_EQ(watch.watchdogExpired(at(4500ms)), std::nullopt);
    EXPECT_EQ(watch.tick(at(5000ms)), std::nullopt);
    EXPECT_EQ(watch.batchArrived(at(7700ms)), "data again after 7.2 s without data");
    EXPECT_EQ(watch.batchArrived(at(8000ms)), std::nullopt);
    EXPECT_EQ(watch.watchdogExpired(at(10'000ms)), "no data for 2 s") << "a new silence";
    // From the start to the first batch, then from the last batch before each silence.
    EXPECT_EQ(watch.summary(at(11'000ms)).timeWithoutData, 500ms + 7200ms + 3000ms);
}

TEST_F(LinkWatchTest, AnOpenPortThatBringsNothingIsNotedOnceAfterTwoSeconds)
{
    watch.opened("/dev/pts/3", at(0ms));
    EXPECT_EQ(watch.tick(at(1000ms)), std::nullopt);
    EXPECT_EQ(watch.state(), LinkState::Opened);
    EXPECT_EQ(watch.tick(at(2000ms)), "no data for 2 s");
    EXPECT_EQ(watch.tick(at(3000ms)), std::nullopt);
    EXPECT_EQ(watch.batchArrived(at(3500ms)), "data again after 3.5 s without data");
}

TEST_F(LinkWatchTest, ALossIsCountedAndToldOnceAndTheSearchFailuresOnceEach)
{
    EXPECT_EQ(watch.opened("/dev/ttyUSB0", at(0ms)), "reading the meter on /dev/ttyUSB0");
    watch.batchArrived(at(1000ms));
    EXPECT_EQ(
        watch.lost(at(1200ms)), "/dev/ttyUSB0 went away; looking for the bridge every second");
    EXPECT_EQ(watch.state(), LinkState::Searching);
    EXPECT_EQ(watch.watchdogExpired(at(3000ms)), std::nullopt) << "the loss said it";
    EXPECT_EQ(watch.searchFailed("no CP210x bridge found"),
        "no CP210x bridge found; still looking every second");
    EXPECT_EQ(watch.searchFailed("no CP210x bridge found"), std::nullopt);
    EXPECT_EQ(watch.searchFailed("cannot open /dev/ttyUSB1: Permission denied"),
        "cannot open /dev/ttyUSB1: Permission denied; still looking every second");
    EXPECT_EQ(watch.opened("/dev/ttyUSB1", at(6000ms)), "reading /dev/ttyUSB1 again");
    EXPECT_EQ(watch.tick(at(8000ms)), std::nullopt) << "still the silence of the loss";
    EXPECT_EQ(watch.batchArrived(at(9000ms)), "data again after 8.0 s without data");
    EXPECT_EQ(watch.searchFailed("no CP210x bridge found"),
        "no CP210x bridge found; still looking every second")
        << "a new search";

    const LinkSummary summary = watch.summary(at(9000ms));
    EXPECT_EQ(summary.disconnections, 1U);
    EXPECT_EQ(summary.timeWithoutData, 1000ms + 8000ms);
}

TEST_F(LinkWatchTest, ABridgeMissingAtTheStartSaysItLooksAgain)
{
    EXPECT_EQ(watch.searchFailed("no CP210x bridge found"),
        "no CP210x bridge found; still looking every second");
    EXPECT_EQ(watch.state(), LinkState::Searching);
    EXPECT_EQ(watch.summary(at(4000ms)).timeWithoutData, 4000ms);
}

TEST(LogDurations, SpokenAndOnAClock)
{
    EXPECT_EQ(spokenDuration(7250ms), "7.2 s");
    EXPECT_EQ(spokenDuration(65'000ms), "1 min 05 s");
    EXPECT_EQ(spokenDuration(3h + 4min), "3 h 04 min");
    EXPECT_EQ(clockDuration(0ms), "00:00:00");
    EXPECT_EQ(clockDuration(26h + 3min + 4s + 999ms), "26:03:04");
}

TEST(StatusLine, ShowsTheLastReadingTheCountTheRateAndTheLinkCutToTheTerminal)
{
    LogStatus status;
    status.state = LinkState::Searching;
    EXPECT_EQ(
        statusLine(status, 200), "no reading yet | 0 readings | 0/min | looking for the bridge");
    status = {"14:03:07", "229.8", "v", 1234, 117, LinkState::Receiving, "/dev/ttyUSB0", ""};
    const std::string full
        = "14:03:07 229.8 v | 1234 readings | 117/min | receiving on /dev/ttyUSB0";
    EXPECT_EQ(statusLine(status, 200), full);
    EXPECT_EQ(statusLine(status, 20), full.substr(0, 19)) << "never fills the last column";
    status.broker = "broker away, 12 waiting";
    EXPECT_EQ(statusLine(status, 200), full + " | broker away, 12 waiting");
    status.state = LinkState::Searching;
    EXPECT_EQ(statusLine(status, 200).find("/dev/ttyUSB0"), std::string::npos)
        << "the bridge may come back under another name";
}

TEST(StatusLine, TheRateCountsTheLastMinute)
{
    RateWindow rate;
    const auto start = RateWindow::Clock::now();
    for (int second = 0; second < 120; ++second)
        rate.add(start + std::chrono::seconds(second));
    EXPECT_EQ(rate.perMinute(start + 119s), 60U);
    EXPECT_EQ(rate.perMinute(start + 150s), 29U);
    EXPECT_EQ(rate.perMinute(start + 1h), 0U);
}

TEST(LogMessages, AStatusLineOnlyOnATerminalAndAlwaysBelowTheMessages)
{
    std::ostringstream journal;
    LogMessages plain(journal, false);
    plain.showStatus("1 reading");
    plain.say("no data for 2 s");
    plain.endStatus();
    EXPECT_EQ(journal.str(), "clampmeter-cli log: no data for 2 s\n");

    std::ostringstream terminal;
    LogMessages shown(terminal, true);
    shown.showStatus("1 reading");
    shown.showStatus("1 reading");
    shown.say("no data for 2 s");
    shown.showStatus("2 readings");
    shown.endStatus();
    EXPECT_EQ(terminal.str(),
        "\r\x1b[K1 reading\r\x1b[Kclampmeter-cli log: no data for 2 s\n1 reading"
        "\r\x1b[K2 readings\r\x1b[K");
}

TEST(LogOptions, ReadsEveryOptionInBothSpellings)
{
    LogOptions options;
    const std::vector<std::string_view> args {"--format=jsonl", "--output", "e-%F.jsonl",
        "--device=/dev/pts/4", "--count", "10", "--duration=1.5", "--wait"};
    ASSERT_EQ(parseLogOptions(args, options), "");
    EXPECT_EQ(options.format, LogFormat::Jsonl);
    EXPECT_EQ(options.output, "e-%F.jsonl");
    EXPECT_EQ(options.device, "/dev/pts/4");
    EXPECT_EQ(options.count, 10U);
    EXPECT_EQ(options.duration, 1500ms);
    EXPECT_TRUE(options.wait);
}

TEST(LogOptions, BadOptionsAreUsageErrorsWithTheReason)
{
    const std::vector<std::pair<std::vector<std::string_view>, std::string>> cases {
        {{"--format", "xml"}, "--format needs csv or jsonl"},
        {{"--format"}, "--format needs csv or jsonl"},
        {{"--output"}, "--output needs a FILE"},
        {{"--output="}, "--output needs a FILE"},
        {{"--device"}, "--device needs a PATH"},
        {{"--count", "0"}, "--count needs a whole number of at least 1"},
        {{"--count", "-3"}, "--count needs a whole number of at least 1"},
        {{"--count", "5x"}, "--count needs a whole number of at least 1"},
        {{"--duration", "0"}, "--duration needs a number of seconds above 0"},
        {{"--duration", "nan"}, "--duration needs a number of seconds above 0"},
        {{"--duration", "1e30"}, "--duration needs a number of seconds above 0"},
        {{"--wait=yes"}, "--wait takes no value"},
        {{"--pty"}, "unknown option '--pty'"},
        {{"extra"}, "unknown option 'extra'"},
    };
    for (const auto& [args, problem] : cases) {
        LogOptions options;
        EXPECT_EQ(parseLogOptions(args, options), problem) << args.front();
    }
}

TEST(LogOptions, ReadsTheBrokersOptions)
{
    LogOptions options;
    const std::vector<std::string_view> args {"--mqtt", "mqtts://meter@broker.lan",
        "--mqtt-ca=/etc/ca.pem", "--mqtt-password-file", "/run/pw", "--mqtt-topic", "site/shed",
        "--mqtt-id", "shed-1", "--mqtt-buffer", "5000", "--mqtt-discovery-prefix", "ha",
        "--no-mqtt-discovery"};
    ASSERT_EQ(parseLogOptions(args, options), "");
    EXPECT_EQ(options.mqtt.url, "mqtts://meter@broker.lan");
    EXPECT_EQ(options.mqtt.caFile, "/etc/ca.pem");
    EXPECT_EQ(options.mqtt.passwordFile, "/run/pw");
    EXPECT_EQ(options.mqtt.topicPrefix, "site/shed");
    EXPECT_EQ(options.mqtt.id, "shed-1");
    EXPECT_EQ(options.mqtt.buffer, 5000U);
    EXPECT_EQ(options.mqtt.discoveryPrefix, "ha");
    EXPECT_FALSE(options.mqtt.discovery);

    LogOptions defaults;
    ASSERT_EQ(parseLogOptions(std::vector<std::string_view> {"--mqtt=mqtt://h"}, defaults), "");
    EXPECT_EQ(defaults.mqtt.topicPrefix, "clampmeter");
    EXPECT_EQ(defaults.mqtt.discoveryPrefix, "homeassistant");
    EXPECT_TRUE(defaults.mqtt.discovery);
    EXPECT_EQ(defaults.mqtt.buffer, 1'000'000U);
}

TEST(LogOptions, BrokerOptionsThatWillNotDoAreUsageErrors)
{
    using Args = std::vector<std::string_view>;
    const std::vector<std::pair<Args, std::string>> cases {
        {{"--mqtt", "http://h"}, "--mqtt: unknown scheme 'http' (mqtt:// or mqtts://)"},
        {{"--mqtt", "mqtt://u:pw@h"}, "--mqtt: no password in the URL"},
        {{"--mqtt"}, "--mqtt needs a value"},
        {{"--mqtt-id", "x"}, "the --mqtt-… options need --mqtt URL"},
        {{"--no-mqtt-discovery"}, "the --mqtt-… options need --mqtt URL"},
        {{"--mqtt", "mqtt://h", "--mqtt-ca", "ca.pem"}, "--mqtt-ca needs an mqtts:// broker"},
        {{"--mqtt", "mqtt://h", "--mqtt-password-file", "pw"},
            "--mqtt-password-file needs a user name"},
        {{"--mqtt", "mqtt://h", "--mqtt-topic", "a/#"}, "--mqtt-topic needs a topic"},
        {{"--mqtt", "mqtt://h", "--mqtt-topic", "Z\xe4hler"},
            "--mqtt-topic needs a topic of UTF-8"},
        {{"--mqtt", "mqtt://h", "--mqtt-discovery-prefix", "ha\x01"},
            "--mqtt-discovery-prefix needs a topic of UTF-8"},
        {{"--mqtt", "mqtt://h", "--mqtt-id", "my meter"}, "--mqtt-id needs 1 to 64 letters"},
        {{"--mqtt", "mqtt://h", "--mqtt-buffer", "0"}, "--mqtt-buffer needs a whole number"},
        {{"--mqtt", "mqtt://h", "--mqtt-discovery-prefix", "+"}, "--mqtt-discovery-prefix needs"},
        {{"--mqtt", "mqtt://h", "--no-mqtt-discovery=1"}, "--no-mqtt-discovery takes no value"},
    };
    for (const auto& [args, problem] : cases) {
        LogOptions options;
        EXPECT_TRUE(parseLogOptions(args, options).starts_with(problem))
            << args.back() << ": " << parseLogOptions(args, options);
    }
}

TEST(LogOptions, MissingBrokerFilesAreUsageErrorsBeforeAnythingStarts)
{
    const std::string missing = testing::TempDir() + "no-such-file.pem";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases {
        {{"--mqtt", "mqtts://h", "--mqtt-ca", missing}, "cannot read the CA file '" + missing},
        {{"--mqtt", "mqtt://u@h", "--mqtt-password-file", missing},
            "cannot read the password file '" + missing},
    };
    for (const auto& [words, problem] : cases) {
        const std::vector<std::string_view> args(words.begin(), words.end());
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(runLog(args, out, err), 2);
        EXPECT_TRUE(err.str().starts_with("clampmeter-cli log: " + problem)) << err.str();
    }
}

TEST(BrokerTexts, AReadingSetsItsFunctionsStateToThePanelsNumberOrToNone)
{
    struct Case {
        std::uint8_t code;
        float value;
        std::uint8_t flags;
        const char* name;
        const char* state; ///< nullptr: no update
    };
    const Case cases[] = {
        {1, 229.9F, 0, "vac", "229.8"}, // the panel's digits, not the float's 229.89999
        {1, 800.0F, 0, "vac", "None"}, // "OL": no value now
        {2, 12.25F, 0, "aac", "12.2"},
        {3, -5.0F, 0, "kw", "-5"},
        {4, 1.5F, 0, "kva", "1.5"},
        {5, 0.75F, 0, "kvar", "0.75"},
        {6, 0.9F, 0, "pf", "0.899"},
        {6, 0.9F, 0x04, "pf", "None"}, // "----"
        {7, 12.5F, 0, "energy", "12.5"},
        {7, 9999.0F, 0, "energy", "None"}, // "OL"
        {8, 1.0F, 0, "", nullptr}, // no function
        {1, std::numeric_limits<float>::quiet_NaN(), 0, "vac", "None"},
    };
    for (const Case& c : cases) {
        FrameFields fields;
        fields.functionCode = c.code;
        fields.mainValue = c.value;
        fields.flags = c.flags;
        const MeasurementFrame reading = decodeFrame(encodeFrame(fields));
        SCOPED_TRACE(std::to_string(c.code) + " " + reading.MainText);
        const std::optional<StateUpdate> update = stateUpdate(reading);
        ASSERT_EQ(update.has_value(), c.state != nullptr);
        if (update) {
            EXPECT_EQ(update->name, c.name);
            EXPECT_EQ(update->value, c.state);
        }
    }
    // The panel's text, tidied only: spaces around it and leading zeros go, its decimals stay.
    for (const auto& [text, digits] : std::vector<std::pair<std::string, std::string>> {
             {" 231.4 ", "231.4"}, {"0231.40", "231.40"}, {"-0.5", "-0.5"}, {"OL", ""},
             {"----", ""}, {"", ""}, {"1e3", ""}, {"12.", "12"}})
        EXPECT_EQ(meterDigits(text), digits) << text;

    EXPECT_EQ(brokerLinkWords(LinkState::Receiving), "reading");
    EXPECT_EQ(brokerLinkWords(LinkState::Silent), "no data");
    EXPECT_EQ(brokerLinkWords(LinkState::Opened), "no data");
    EXPECT_EQ(brokerLinkWords(LinkState::Searching), "looking for the bridge");
}

TEST(LogOptions, UsageErrorsExitWith2AndTheSynopsis)
{
    std::ostringstream out;
    std::ostringstream err;
    const std::vector<std::string_view> args {"--count", "0"};
    EXPECT_EQ(runLog(args, out, err), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(),
        "clampmeter-cli log: --count needs a whole number of at least 1\n"
            + std::string(kLogSynopsis) + "Try 'clampmeter-cli log --help' for more.\n");
}

TEST(LogOptions, HelpTextsFitATerminalOfEightyColumns)
{
    std::ostringstream out;
    std::ostringstream err;
    const std::vector<std::string_view> help {"--help"};
    EXPECT_EQ(runLog(help, out, err), 0);
    EXPECT_EQ(out.str(), kLogHelp);
    for (const std::string_view text : {kLogHelp, kPortsHelp}) {
        std::istringstream lines {std::string(text)};
        for (std::string line; std::getline(lines, line);)
            EXPECT_LE(line.size(), 80U) << line;
    }
}

} // namespace
} // namespace clampmeter::cli
