// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The graph window under load: one redraw of an empty and of a full 1000-point window; one capture
// with the graph window shown (and with both windows shown), with an empty store and with a full
// one, the repaint included; a scale change and a navigation rebuild over 50000 records.

#include "app/form1.h"
#include "app/journal_keeper.h"
#include "graph/frm_graph.h"
#include "graph/graph_navigation.h"
#include "graph/plot_painter.h"
#include "graph/plot_window.h"
#include "link/static_serial_device_map.h"
#include "list/frm_list.h"
#include "simulator/frame_encoder.h"
#include "temp_folder.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace clampmeter {
namespace {

class FixedClock final : public CaptureClock {
public:
    CaptureTime now() override { return {"10/12/26", "14:03:07"}; }
};

/// A view that shows nothing: the rules alone.
class NoView final : public GraphView {
public:
    void setXLabels(const XLabelTexts&) override { }
    void setYLabel(int, std::string_view) override { }
    void clearAndRedraw() override { }
    void drawNewestPoint() override { }
    void showNewestMarker(const PointMarker&) override { }
    void hideNewestMarker() override { }
    void showReadout(const PointMarker&) override { }
    void hideReadout() override { }
};

/// `records` readings of a slowly swinging mains voltage.
void fillStore(VarModule& vars, std::int32_t records)
{
    for (std::int32_t i = 0; i < records; ++i) {
        DataRecord& r = vars.DataRecords[static_cast<std::size_t>(i)];
        r.No = i + 1;
        r.Value = 230.0 + 40.0 * std::sin(i / 50.0);
        r.FunText = "FUN_VAC";
        r.DataText = "229.8";
        r.UnitText = "v";
        r.StampText = "10/12/26\\14:03:07";
    }
    vars.DataCount = records;
}

/// The graph state a run that followed every reading since the start has after `records`
/// readings, at the start scales.
void followTo(VarModule& vars, std::int32_t records)
{
    vars.GraphBrowsing = false;
    vars.GraphPointCount = records == 0 ? 0 : (records - 1) % vars.XScale + 1;
    vars.GraphStart = records == 0 ? 1 : records - vars.GraphPointCount + 1;
    rebuildGraphWindow(vars);
}

void BM_RedrawWindow(benchmark::State& state)
{
    auto vars = std::make_unique<VarModule>();
    fillStore(*vars, 1000);
    vars->XScale = 1000;
    vars->XStep = 0.6;
    vars->GraphStart = 1;
    vars->GraphPointCount = static_cast<std::int32_t>(state.range(0));
    rebuildGraphWindow(*vars);
    PlotDrawing drawing;
    QImage image(611, 545, QImage::Format_RGB32);
    for (auto _ : state) {
        planPlot(*vars, drawing);
        QPainter painter(&image);
        paintPlotBox(painter, drawing, image.size());
    }
}
BENCHMARK(BM_RedrawWindow)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);

/// The real main panel; its graph window (and on request its list window) shown.
class ShownWindows {
public:
    explicit ShownWindows(bool withList)
    {
        m_form.load(); // creates the list window; the port itself does not exist here
        if (withList)
            m_form.windows().listWindow().show();
        m_form.windows().graphWindow().show();
        QCoreApplication::processEvents();
    }

    void prepare(std::int32_t records)
    {
        if (m_filled < records)
            fillStore(*m_vars, records);
        m_filled = std::max(m_filled, records);
        m_vars->DataCount = records;
        followTo(*m_vars, records);
        m_form.windows().listWindow().gridModel().listNewest(records);
        m_form.windows().graphWindow().Picture1_Paint();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    /// Every capture from here on is written to a session journal as in the program.
    void keepJournal(const std::filesystem::path& folder)
    {
        m_journal = std::make_unique<JournalKeeper>(
            SessionJournal::Settings {folder, "20261210T130000Z-1", "bench", 1},
            [] { return std::chrono::system_clock::now(); }, [](const QString&) {});
        m_journal->start();
        m_form.setJournal(m_journal.get());
    }

    void capture()
    {
        const EncodedFrame frame = encodeFrame({.functionCode = 1, .mainValue = 229.9F});
        m_form.onAcceptedFrame(frame);
        QCoreApplication::processEvents(); // the repaints the capture asked for
    }

private:
    std::unique_ptr<VarModule> m_vars = std::make_unique<VarModule>();
    FixedClock m_clock;
    StaticSerialDeviceMap m_map {
        StaticSerialDeviceMap::Values {{R"(\Device\silabser0)", "/dev/clampmeter-no-such-port"}}};
    Form1 m_form {Form1::Services {*m_vars, m_map, m_clock, [](const QString&, const QString&) {}}};
    std::unique_ptr<JournalKeeper> m_journal;
    std::int32_t m_filled = 0;
};

void captureShown(benchmark::State& state, bool withList, bool journalled = false)
{
    const auto start = static_cast<std::int32_t>(state.range(0));
    ShownWindows shown(withList);
    const TempFolder folder;
    if (journalled)
        shown.keepJournal(folder.path() / "sessions");
    for (auto _ : state) {
        state.PauseTiming();
        shown.prepare(start);
        state.ResumeTiming();
        shown.capture();
    }
}

void BM_CaptureWithGraphShown(benchmark::State& state)
{
    captureShown(state, false);
}
// A page holds 100 readings: the readings after 0 and 1000 stored start a page (the plot is
// drawn again in full), those after 99, 999 and 49999 end one (a segment and a dot are added).
BENCHMARK(BM_CaptureWithGraphShown)
    ->Arg(0)
    ->Arg(99)
    ->Arg(999)
    ->Arg(1000)
    ->Arg(49999)
    ->Unit(benchmark::kMicrosecond);

void BM_CaptureWithBothShown(benchmark::State& state)
{
    captureShown(state, true);
}
BENCHMARK(BM_CaptureWithBothShown)
    ->Arg(0)
    ->Arg(999)
    ->Arg(1000)
    ->Arg(49999)
    ->Unit(benchmark::kMicrosecond);

// The same, each reading also written to the session journal (its sync runs on its timer,
// within the event-loop passes the capture makes).
void BM_CaptureWithBothShownJournalled(benchmark::State& state)
{
    captureShown(state, true, true);
}
BENCHMARK(BM_CaptureWithBothShownJournalled)->Arg(0)->Arg(49999)->Unit(benchmark::kMicrosecond);

/// The rules over a full store, the window showing its last 1000 records.
struct FullStore {
    FullStore()
    {
        fillStore(*vars, kMaxRecords);
        plot.chooseXScale("1000");
        plot.navigate(NavigationButton::End);
    }
    std::unique_ptr<VarModule> vars = std::make_unique<VarModule>();
    NoView view;
    PlotWindow plot {*vars, view};
};

void BM_ScaleChangeOverFullStore(benchmark::State& state)
{
    FullStore full;
    bool small = false;
    for (auto _ : state) {
        full.plot.chooseYScale(small ? "60" : "6000");
        small = !small;
    }
}
BENCHMARK(BM_ScaleChangeOverFullStore)->Unit(benchmark::kMicrosecond);

void BM_NavigationRebuildOverFullStore(benchmark::State& state)
{
    FullStore full;
    bool back = false;
    for (auto _ : state) {
        full.plot.navigate(back ? NavigationButton::Left : NavigationButton::End);
        back = !back;
    }
}
BENCHMARK(BM_NavigationRebuildOverFullStore)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace clampmeter
