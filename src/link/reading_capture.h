// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "journal/journal_sink.h"
#include "link/capture_clock.h"
#include "link/live_views.h"
#include "link/measurement_frame.h"
#include "link/panel_view.h"
#include "shared/var_module.h"

namespace clampmeter {

/// Shows a decoded reading on the main panel, in the panel's fixed order. The list
/// window's unit caption follows Label7 at once.
void presentReading(const MeasurementFrame& reading, PanelView& panel, ListLiveView& list);

/// What happens to every accepted frame: decode, show on the panel, store with the time of
/// reception, and bring the list and graph windows up to date, all in one go.
///
/// When the store already holds 50000 records the reading is still shown on the panel and
/// in the list window's large label, and the list window's counter shows that the log is
/// full, but it is not stored, listed or plotted. The graph
/// window comes into being with the first reading stored.
///
/// Every reading, stored or not, goes to the session journal when there is one, the moment
/// it is captured.
class ReadingCapture {
public:
    ReadingCapture(VarModule& vars, PanelView& panel, LiveWindows& windows, CaptureClock& clock);

    /// The journal every reading goes to from now on; null for none.
    void setJournal(JournalSink* journal) { m_journal = journal; }

    void onAcceptedFrame(FrameBytes bytes);

private:
    VarModule& m_vars;
    PanelView& m_panel;
    LiveWindows& m_windows;
    CaptureClock& m_clock;
    JournalSink* m_journal = nullptr;
};

} // namespace clampmeter
