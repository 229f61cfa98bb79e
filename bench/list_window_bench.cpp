// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The data list window under load: one capture with the window shown, the repaint it
// causes included, must cost the same with an empty list and with a full one. Also the
// grid's row insert alone and the clear of a full list.

#include "app/form1.h"
#include "link/static_serial_device_map.h"
#include "list/frm_list.h"
#include "simulator/frame_encoder.h"

#include <QApplication>
#include <QPaintEvent>
#include <benchmark/benchmark.h>
#include <map>
#include <string>

#include <memory>

namespace clampmeter {
namespace {

class FixedClock final : public CaptureClock {
public:
    CaptureTime now() override { return {"10/12/26", "14:03:07"}; }
};

/// The real main panel with its list window shown, the store holding `records` readings,
/// all of them listed.
class ShownList {
public:
    ShownList()
    {
        m_form.load(); // creates the list window; the port itself does not exist here
        list().show();
        QCoreApplication::processEvents();
    }

    Frm_List& list() { return m_form.windows().listWindow(); }

    void fill(std::int32_t records)
    {
        for (std::int32_t i = m_filled; i < records; ++i) {
            DataRecord& r = m_vars->DataRecords[static_cast<std::size_t>(i)];
            r.No = i + 1;
            r.FunText = "FUN_VAC";
            r.DataText = "229.8";
            r.UnitText = "v";
            r.StampText = "10/12/26\\14:03:07";
        }
        m_filled = std::max(m_filled, records);
        m_vars->DataCount = records;
        list().gridModel().listNewest(records);
        // The reset's relayout asks for a repaint of its own, painted one pass later: both
        // passes belong to the set-up, not to the capture measured next.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    void capture()
    {
        const EncodedFrame frame = encodeFrame({.functionCode = 1, .mainValue = 229.9F});
        m_form.onAcceptedFrame(frame);
    }

    VarModule& vars() { return *m_vars; }

private:
    std::unique_ptr<VarModule> m_vars = std::make_unique<VarModule>();
    FixedClock m_clock;
    StaticSerialDeviceMap m_map {
        StaticSerialDeviceMap::Values {{R"(\Device\silabser0)", "/dev/clampmeter-no-such-port"}}};
    // "Clear list" asks before it drops readings no save holds: here the answer is yes.
    Form1 m_form {Form1::Services {.vars = *m_vars,
        .deviceMap = m_map,
        .clock = m_clock,
        .showMessage = [](const QString&, const QString&) {},
        .askQuestion = [](const QString&, const QString&) { return true; }}};
    std::int32_t m_filled = 0;
};

void BM_CaptureWithListShown(benchmark::State& state)
{
    const auto start = static_cast<std::int32_t>(state.range(0));
    ShownList shown;
    for (auto _ : state) {
        state.PauseTiming();
        shown.fill(start);
        state.ResumeTiming();
        shown.capture();
        QCoreApplication::processEvents(); // the repaint the capture asked for
    }
}
BENCHMARK(BM_CaptureWithListShown)->Arg(0)->Arg(1000)->Arg(49999)->Unit(benchmark::kMicrosecond);

void BM_GridRowInsert(benchmark::State& state)
{
    const auto start = static_cast<std::int32_t>(state.range(0));
    ShownList shown;
    for (auto _ : state) {
        state.PauseTiming();
        shown.fill(start);
        ++shown.vars().DataCount;
        state.ResumeTiming();
        shown.list().gridModel().addNewestRow();
    }
}
BENCHMARK(BM_GridRowInsert)->Arg(0)->Arg(1000)->Arg(49999)->Unit(benchmark::kMicrosecond);

void BM_ClearFullList(benchmark::State& state)
{
    ShownList shown;
    for (auto _ : state) {
        state.PauseTiming();
        shown.fill(kMaxRecords);
        state.ResumeTiming();
        shown.list().Command1_Click();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ClearFullList)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace clampmeter
