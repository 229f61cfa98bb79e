// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// clampmeter-demo: the whole program, fed by the built-in meter simulator through a
// pseudo-terminal (on Windows a simulated port), for anyone without a meter. The simulator's
// port is registered where the program looks for the meter's bridge.

#include "app/demo_line.h"
#include "app/design_fonts.h"
#include "app/display_check.h"
#include "app/info_options.h"
#include "app/program.h"
#include "link/static_serial_device_map.h"
#include "platform/stop_notifier.h"
#include "platform/stop_signals.h"
#include "platform/system_clock.h"
#include "shared/version.h"
#include "simulator/meter_simulator.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

namespace {

using namespace clampmeter;

constexpr std::string_view kProgram = "clampmeter-demo";

/// The demo's own options, beside --help and --version.
struct DemoOptions {
    QCommandLineOption scenario {QStringLiteral("scenario"),
        QStringLiteral("Simulator scenario (tour, vac, aac, kw, kva, "
                       "kvar, pf, energy, faults)."),
        QStringLiteral("name"), QStringLiteral("tour")};
    QCommandLineOption interval {QStringLiteral("interval"),
        QStringLiteral("Quiet gap after each frame, in ms, from 100 to 600000. Shorter gaps "
                       "are refused: the program finds where a frame begins only after "
                       "100 ms of quiet. Above 1900 ms \"NO DATA\" shows between the "
                       "frames: the program takes 2 s without a frame for a dead line."),
        QStringLiteral("ms"), QStringLiteral("500")};
    QCommandLineOption seed {QStringLiteral("seed"), QStringLiteral("Simulator seed."),
        QStringLiteral("n"), QStringLiteral("1")};
};

/// What is wrong with the arguments the parser is given, in the words of the program's other
/// messages; empty when nothing is.
std::string argumentProblem(QCommandLineParser& parser)
{
    if (parser.parse(QCoreApplication::arguments())) {
        if (parser.positionalArguments().isEmpty())
            return {};
        return "unknown argument '" + parser.positionalArguments().first().toStdString() + "'";
    }
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().first();
        return "unknown option '" + std::string(name.size() == 1 ? "-" : "--") + name.toStdString()
            + "'";
    }
    std::string text = parser.errorText().toStdString();
    if (text.ends_with('.'))
        text.pop_back();
    return text;
}

/// The simulator's settings from the parsed options; nothing, with the reason on standard
/// error, when an option is bad.
std::optional<SimulatorSettings> settingsFrom(
    const QCommandLineParser& parser, const DemoOptions& options)
{
    SimulatorSettings settings;
    const std::string scenarioName = parser.value(options.scenario).toStdString();
    const auto chosen = scenarioFromName(scenarioName);
    bool intervalOk = false;
    bool seedOk = false;
    settings.interval
        = std::chrono::milliseconds(parser.value(options.interval).toLongLong(&intervalOk));
    settings.seed = parser.value(options.seed).toUInt(&seedOk);
    if (!intervalOk || settings.interval < kShortestInterval
        || settings.interval > kLongestInterval) {
        std::cerr << "clampmeter-demo: --interval needs a number of milliseconds from 100 to "
                     "600000: the program finds where a frame begins only after 100 ms of "
                     "quiet\n";
        return std::nullopt;
    }
    if (!chosen) {
        std::string names;
        for (const ScenarioInfo& info : simulatorScenarios())
            names += (names.empty() ? "" : ", ") + std::string(info.name);
        std::cerr << "clampmeter-demo: --scenario takes one of " << names << ", not '"
                  << scenarioName << "'\n";
        return std::nullopt;
    }
    if (!seedOk) {
        std::cerr << "clampmeter-demo: --seed takes a whole number from 0 to 4294967295, not '"
                  << parser.value(options.seed).toStdString() << "'\n";
        return std::nullopt;
    }
    settings.scenario = *chosen;
    if (const std::string warning = longIntervalWarning(settings.interval); !warning.empty())
        std::cerr << "clampmeter-demo: " << warning << '\n';
    return settings;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("clampmeter-demo"));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(kVersion));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The clamp meter program, fed by a simulated meter."));
    parser.addHelpOption();
    parser.addVersionOption();
    const DemoOptions options;
    parser.addOptions({options.scenario, options.interval, options.seed});
    // --help and --version are answered from a plain core application, which needs no
    // display: processing prints the answer and ends the program.
    if (findInfoRequest(argc, argv) != InfoRequest::None) {
        const QCoreApplication info(argc, argv);
        parser.process(info);
    }
    if (const std::string reason = missingDisplayReason(kProgram, argc, argv, std::getenv);
        !reason.empty()) {
        std::cerr << reason << '\n';
        return kNoDisplayExitCode;
    }
    std::optional<WindowSystemStartGuard> windowSystemStart(std::in_place, kProgram);
    QApplication app(argc, argv);
    windowSystemStart.reset();
    // Qt's own options are gone from the arguments by now.
    if (const std::string problem = argumentProblem(parser); !problem.empty()) {
        std::cerr << kProgram << ": " << problem << " (see clampmeter-demo --help)\n";
        return 2;
    }
    const std::optional<SimulatorSettings> settings = settingsFrom(parser, options);
    if (!settings)
        return 2;
    registerDesignFonts();
    QGuiApplication::setDesktopFileName(QStringLiteral(CLAMPMETER_DEMO_APP_ID));

    DemoLine meter(*settings);
    if (!meter.isOpen()) {
        std::cerr << "clampmeter-demo: no pseudo-terminal is available for the simulator\n";
        return 1;
    }
    std::cout << "Simulated meter on " << meter.portName() << std::endl;
    StaticSerialDeviceMap deviceMap(
        StaticSerialDeviceMap::Values {{std::string(kBridgeValueName), meter.portName()}});
    meter.start();
    // Ctrl+C in the terminal it was started from, or SIGTERM, ends the demo as its Exit does:
    // the simulated readings are no one's to recover, so the session ends cleanly.
    const StopSignals stop;
    StopNotifier stopNotifier(stop);
    QObject::connect(&stopNotifier, &StopNotifier::stopRequested, qApp, &QCoreApplication::quit);
    SystemClock clock;
    return runProgram(deviceMap, clock, kDemoSessionsFolder, meter.portMaker());
}
