// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// clampmeter-soak: the meter simulator with line faults, through a pseudo-terminal, into the
// real program (serial link, framing, capture, store, both windows open); then the export
// file is compared with what was sent. Also measures CPU while streaming and idle after a
// hang-up, descriptors and objects over ten hang-ups and reopenings of the link, and (with
// --memory) the memory of a full store filled three times.
//
// Exit code 0 when every frame sent alone was stored once, in order, with the decoder's texts,
// no fault was stored, NO DATA showed for each silence and nothing grew; 1 otherwise.

#include "app/form1.h"
#include "link/static_serial_device_map.h"
#include "list/export_writer.h"
#include "list/frm_list.h"
#include "platform/pseudo_terminal.h"
#include "platform/qt_output_files.h"
#include "platform/serial_link.h"
#include "soak_measures.h"
#include "soak_plan.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

namespace clampmeter::soak {
namespace {

using namespace std::chrono_literals;

struct Options {
    int frames = 300;
    std::chrono::milliseconds interval {100};
    std::uint32_t seed = 1;
    int faultEvery = 10;
    bool memory = false;
};

class FixedClock final : public CaptureClock {
public:
    CaptureTime now() override { return {"10/12/26", "14:03:07"}; }
};

/// Runs the event loop for a while.
void spin(std::chrono::milliseconds time)
{
    QEventLoop loop;
    QTimer::singleShot(time, &loop, &QEventLoop::quit);
    loop.exec();
}

/// Writes the plan's bursts to the line from a thread of its own, keeping each quiet gap.
class LineWriter {
public:
    LineWriter(PseudoTerminal& line, const SoakPlan& plan)
        : m_thread([this, &line, &plan] {
            for (const SoakStep& step : plan.steps) {
                if (!step.burst.bytes.empty() && !line.write(step.burst.bytes))
                    m_failed = true;
                std::this_thread::sleep_for(step.quietAfter);
            }
            m_done = true;
        })
    {
    }
    ~LineWriter() { m_thread.join(); }
    bool done() const { return m_done; }
    bool failed() const { return m_failed; }

private:
    std::atomic<bool> m_done {false};
    std::atomic<bool> m_failed {false};
    std::thread m_thread;
};

/// Counts how often the panel's NO DATA display came up.
class NoDataWatch {
public:
    explicit NoDataWatch(const QWidget* noDataPanel)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, noDataPanel] {
            const bool shown = noDataPanel->isVisible();
            if (shown && !m_shown)
                ++appearances;
            m_shown = shown;
        });
        m_timer.start(25);
    }
    int appearances = 0;

private:
    QTimer m_timer;
    bool m_shown = true; // shown from the start, until the first frame
};

std::string exportRecords(const VarModule& vars)
{
    const QString path
        = QDir::temp().filePath(QStringLiteral("clampmeter-soak-%1.csv").arg(getpid()));
    QtOutputFiles files;
    std::unique_ptr<OutputFile> file = files.create(path.toStdString());
    if (!writeExport(vars, *file) || !file->commit())
        return {};
    QFile readBack(path);
    readBack.open(QIODevice::ReadOnly);
    const QByteArray bytes = readBack.readAll();
    readBack.remove();
    return bytes.toStdString();
}

bool streamThroughTheProgram(const Options& options)
{
    std::optional<PseudoTerminal> line = PseudoTerminal::open();
    if (!line)
        return std::fprintf(stderr, "soak: no pseudo-terminal\n"), false;
    StaticSerialDeviceMap map(
        StaticSerialDeviceMap::Values {{std::string(kBridgeValueName), line->slavePath()}});
    auto vars = std::make_unique<VarModule>();
    FixedClock clock;
    Form1 form({*vars, map, clock, [](const QString&, const QString& text) {
                    std::fprintf(stderr, "soak: %s\n", qPrintable(text));
                }});
    if (!form.load())
        return false;
    form.show();
    form.windows().showList();
    form.windows().showGraph();
    spin(1s); // the port settles and arms at its first quiet tick

    const SoakPlan plan
        = planSoak(options.frames, options.seed, options.interval, options.faultEvery);
    const std::vector<StoredTexts> expected = expectedRecords(plan, form.unitCaption());
    NoDataWatch watch(form.findChild<QWidget*>(QStringLiteral("Picture3")));
    const CpuMeter streaming;
    {
        LineWriter writer(*line, plan);
        while (!writer.done())
            spin(100ms);
        spin(500ms);
    }
    const double streamingCpu = streaming.shareOfOneCore();
    const int noDataShown = watch.appearances; // the hang-up below shows it once more

    const SoakComparison result = compareRecords(expected, recordsOfExport(exportRecords(*vars)));
    line->hangUp();
    spin(1s);
    const CpuMeter idle;
    spin(3s);
    const double idleCpu = idle.shareOfOneCore();

    std::printf("frames sent alone:   %d (faults %d, silences %d)\n", plan.frames, plan.faults,
        plan.silences);
    std::printf("to be stored:        %zu\n", expected.size());
    std::printf("stored:              %d\n", result.stored);
    std::printf("lost:                %d\n", result.lost);
    std::printf("wrongly accepted:    %d\n", result.wronglyAccepted);
    std::printf("NO DATA shown:       %d times for %d silences\n", noDataShown, plan.silences);
    std::printf(
        "CPU while streaming: %.1f %% of a core (both windows open)\n", 100.0 * streamingCpu);
    std::printf("CPU after hang-up:   %.2f %% of a core\n", 100.0 * idleCpu);
    // After the hang-up the program looks for the bridge once a second; in a sanitizer build
    // on a loaded machine each look costs some milliseconds. What must never come back is the
    // busy loop of a line gone away (a whole core): the true figure is the benchmark's.
    return result.lost == 0 && result.wronglyAccepted == 0 && noDataShown == plan.silences
        && idleCpu < 0.05;
}

class QuietPanels final : public LinkPanels {
public:
    void setDisplayPanelVisible(bool) override { }
    void setNoDataPanelVisible(bool) override { }
};

/// Ten hang-ups of the line, each followed by opening the link on a new line.
bool reopenTenTimes()
{
    QuietPanels panels;
    int accepted = 0;
    SerialLink link(panels, [&](FrameBytes) { ++accepted; });
    int fdsAfterFirst = 0;
    qsizetype objectsAfterFirst = 0;
    for (int round = 0; round < 10; ++round) {
        std::optional<PseudoTerminal> line = PseudoTerminal::open();
        if (!line || !link.open(QString::fromStdString(line->slavePath())).ok())
            return std::fprintf(stderr, "soak: cannot open the link\n"), false;
        link.portOpened();
        spin(200ms);
        line->write(MeterSimulator().next().bytes);
        spin(200ms);
        line->hangUp();
        spin(200ms);
        if (round == 0) {
            fdsAfterFirst = openFileDescriptors();
            objectsAfterFirst = link.findChildren<QObject*>().size();
        }
    }
    const int fds = openFileDescriptors();
    const qsizetype objects = link.findChildren<QObject*>().size();
    std::printf(
        "after 10 hang-ups:   %d frames read, link %s, descriptors %d (after the first: %d), "
        "objects of the link %lld (after the first: %lld)\n",
        accepted, link.isOpen() ? "open" : "closed", fds, fdsAfterFirst,
        static_cast<long long>(objects), static_cast<long long>(objectsAfterFirst));
    return accepted == 10 && !link.isOpen() && fds <= fdsAfterFirst && objects <= objectsAfterFirst;
}

} // namespace
} // namespace clampmeter::soak

namespace clampmeter::soak {
namespace {

/// A full store (50000 readings through the real capture, list window included), cleared
/// with "Clear list" and filled again, twice: the memory must come back to the same.
bool fillTheStoreThreeTimes()
{
    StaticSerialDeviceMap map(StaticSerialDeviceMap::Values {
        {std::string(kBridgeValueName), "/dev/clampmeter-soak-no-port"}});
    auto vars = std::make_unique<VarModule>();
    FixedClock clock;
    // "Clear list" asks before it drops readings no save holds: here the answer is yes.
    Form1 form({.vars = *vars,
        .deviceMap = map,
        .clock = clock,
        .showMessage = [](const QString&, const QString&) {},
        .askQuestion = [](const QString&, const QString&) { return true; }});
    form.load();
    const long before = processStatus("VmRSS");
    MeterSimulator meter;
    long rss[3] = {};
    for (long& after : rss) {
        form.windows().listWindow().Command1_Click();
        for (int i = 0; i < 50000; ++i) {
            const SimulatedBurst burst = meter.next();
            form.onAcceptedFrame(FrameBytes(burst.bytes.data(), kFrameSize));
        }
        spin(100ms);
        after = processStatus("VmRSS");
    }
    std::printf("memory:              %.1f MB before, %.1f / %.1f / %.1f MB with a full store "
                "(filled, cleared and filled twice)\n",
        before / 1024.0, rss[0] / 1024.0, rss[1] / 1024.0, rss[2] / 1024.0);
    constexpr long kToleranceKb = 2048; // allocator slack, not growth
    return vars->DataCount == 50000 && rss[2] - rss[0] <= kToleranceKb;
}

bool parse(int argc, char* argv[], Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--frames" && hasValue)
            options.frames = std::stoi(argv[++i]);
        else if (arg == "--interval" && hasValue)
            options.interval = std::chrono::milliseconds(std::stoi(argv[++i]));
        else if (arg == "--seed" && hasValue)
            options.seed = static_cast<std::uint32_t>(std::stoul(argv[++i]));
        else if (arg == "--fault-every" && hasValue)
            options.faultEvery = std::stoi(argv[++i]);
        else if (arg == "--memory")
            options.memory = true;
        else
            return false;
    }
    return options.frames > 0 && options.interval >= kShortestInterval;
}

} // namespace
} // namespace clampmeter::soak

int main(int argc, char* argv[])
{
    using namespace clampmeter::soak;
    Options options;
    try {
        if (!parse(argc, argv, options))
            throw std::invalid_argument("usage");
    } catch (const std::exception&) {
        std::fprintf(stderr,
            "usage: clampmeter-soak [--frames N] [--interval MS (100 or more)] [--seed N] "
            "[--fault-every N] [--memory]\n");
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The offscreen platform says for every window shape that it keeps none; nothing else.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (!text.contains(QStringLiteral("This plugin does not support")))
            std::fprintf(
                stderr, "%s%s\n", type >= QtWarningMsg ? "warning: " : "", qPrintable(text));
    });
    bool ok = streamThroughTheProgram(options);
    ok = reopenTenTimes() && ok;
    if (options.memory)
        ok = fillTheStoreThreeTimes() && ok;
    std::printf("soak: %s\n", ok ? "passed" : "FAILED");
    return ok ? 0 : 1;
}
