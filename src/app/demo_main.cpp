// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// clampmeter-demo: the whole program, fed by the built-in meter simulator through a
// pseudo-terminal (on Windows a simulated port), for anyone without a meter. The simulator's
// port is registered where the program looks for the meter's bridge.

#include "app/demo_line.h"
#include "app/design_fonts.h"
#include "app/info_options.h"
#include "app/program.h"
#include "link/static_serial_device_map.h"
#include "platform/system_clock.h"
#include "shared/version.h"
#include "simulator/meter_simulator.h"

#include <QApplication>
#include <QCommandLineParser>

#include <iostream>
#include <optional>
#include <string>

namespace {

using namespace clampmeter;

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

/// The simulator's settings from the parsed options; nothing, with the reason on standard
/// error, when an option is bad.
std::optional<SimulatorSettings> settingsFrom(
    const QCommandLineParser& parser, const DemoOptions& options)
{
    SimulatorSettings settings;
    const auto chosen = scenarioFromName(parser.value(options.scenario).toStdString());
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
    if (!chosen || !seedOk) {
        std::cerr << "clampmeter-demo: bad option (see --help)\n";
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
    QApplication app(argc, argv);
    registerDesignFonts();
    QGuiApplication::setDesktopFileName(QStringLiteral(CLAMPMETER_DEMO_APP_ID));
    parser.process(app);
    const std::optional<SimulatorSettings> settings = settingsFrom(parser, options);
    if (!settings)
        return 2;

    DemoLine meter(*settings);
    if (!meter.isOpen()) {
        std::cerr << "clampmeter-demo: no pseudo-terminal is available for the simulator\n";
        return 1;
    }
    std::cout << "Simulated meter on " << meter.portName() << std::endl;
    StaticSerialDeviceMap deviceMap(
        StaticSerialDeviceMap::Values {{std::string(kBridgeValueName), meter.portName()}});
    meter.start();
    SystemClock clock;
    return runProgram(deviceMap, clock, kDemoSessionsFolder, meter.portMaker());
}
