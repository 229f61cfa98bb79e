// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "checked_output.h"
#include "cli_commands.h"
#include "log/log_broker.h"
#include "log/log_options.h"
#include "log/log_session.h"
#include "platform/stop_notifier.h"
#include "platform/stop_signals.h"
#include "terminals.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>

namespace clampmeter::cli {
namespace {

constexpr std::string_view kCommand = "clampmeter-cli log";

// Standard output that already holds a log (`>> energy.csv`) gets no second header.
bool standardOutputIsEmpty(const std::ostream& out)
{
    return &out != &std::cout || !standardOutputIsNonEmptyFile();
}

int usageError(const std::string& problem, std::ostream& err)
{
    err << kCommand << ": " << problem << "\n"
        << kLogSynopsis << "Try '" << kCommand << " --help' for more.\n";
    return 2;
}

// Whether `path` can be read; else the system's reason.
std::string unreadable(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (in && in.peek() != std::ifstream::traits_type::eof())
        return {};
    if (in)
        return "it is empty";
    return std::strerror(errno);
}

// The broker's password: the first line of --mqtt-password-file, else CLAMPMETER_MQTT_PASSWORD.
std::string brokerPassword(const MqttOptions& mqtt)
{
    if (!mqtt.passwordFile.empty()) {
        std::ifstream in(mqtt.passwordFile, std::ios::binary);
        std::string password;
        std::getline(in, password);
        if (!password.empty() && password.back() == '\r')
            password.pop_back();
        return password;
    }
    const char* variable = std::getenv("CLAMPMETER_MQTT_PASSWORD");
    return variable != nullptr ? variable : "";
}

// The broker's files that the run needs: a problem for exit code 2, or nothing.
std::string brokerFilesProblem(const MqttOptions& mqtt)
{
    if (!mqtt.caFile.empty()) {
        if (std::string reason = unreadable(mqtt.caFile); !reason.empty())
            return "cannot read the CA file '" + mqtt.caFile + "': " + reason;
    }
    if (!mqtt.passwordFile.empty()) {
        if (std::string reason = unreadable(mqtt.passwordFile); !reason.empty())
            return "cannot read the password file '" + mqtt.passwordFile + "': " + reason;
    }
    return {};
}

int runSession(const LogOptions& options, LogOutput& output, LogClock& clock, std::ostream& err)
{
    const StopSignals stop;
    // The event loop learns of a stop request only through its wake-up: without it nothing
    // could end a run cleanly.
    if (!stop.wakeFailure().empty()) {
        err << kCommand << ": cannot watch for " << StopSignals::kRequests << ": "
            << stop.wakeFailure() << '\n';
        return 1;
    }
    int argc = 1;
    std::string name = "clampmeter-cli";
    char* argv[] = {name.data(), nullptr};
    const QCoreApplication application(argc, argv);
    StopNotifier stopNotifier(stop);
    LogMessages messages(err, &err == &std::cerr && standardErrorIsTerminal());
    LogSession session(options, output, clock, messages, &stopNotifier,
        options.mqtt.url.empty() ? std::string() : brokerPassword(options.mqtt));
    if (!session.start()) {
        output.abandonUnused();
        return 1;
    }
    QCoreApplication::exec();
    messages.endStatus();
    messages.say(session.summary());
    return session.exitCode();
}

} // namespace

int runLog(std::span<const std::string_view> args, std::ostream& out, std::ostream& err)
{
    LogOptions options;
    if (const std::string problem = parseLogOptions(args, options); !problem.empty())
        return usageError(problem, err);
    if (options.help)
        return writeText(kCommand, kLogHelp, out, err);
    // A device that is not there at the start is a mistyped path, unless the run is to wait
    // for it (a bridge's by-id name before it is plugged in).
    if (!options.device.empty() && !options.wait && !serialDeviceExists(options.device)) {
        err << kCommand << ": --device " << options.device
            << " does not exist (with --wait it is waited for)\n";
        return 2;
    }
    const bool broker = !options.mqtt.url.empty();
    if (broker && !logBrokerBuilt())
        return usageError("--mqtt: this build cannot publish to a broker", err);
    if (const std::string problem = broker ? brokerFilesProblem(options.mqtt) : std::string();
        !problem.empty())
        return usageError(problem, err);

    SystemLogClock clock;
    const std::string_view header = logHeader(options.format);
    std::unique_ptr<LogOutput> output;
    if (!options.output.empty())
        output = fileLogOutput(options.output, header);
    else if (broker)
        output = noLogOutput();
    else
        output = streamLogOutput(out, header, standardOutputIsEmpty(out));
    if (!output->open(clock.now())) {
        err << kCommand << ": " << output->failure() << '\n';
        return 1;
    }
    return runSession(options, *output, clock, err);
}

} // namespace clampmeter::cli
