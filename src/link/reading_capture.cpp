// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/reading_capture.h"

namespace clampmeter {

void presentReading(const MeasurementFrame& reading, PanelView& panel, ListLiveView& list)
{
    panel.setWiringVisible(reading.wiring);
    if (reading.phase != Phase::None)
        panel.setPhaseCaption(phaseCaption(reading.phase));
    panel.setBatVisible(reading.bat);
    panel.setMrVisible(reading.mr);
    panel.setNumberText(reading.numberText);
    if (const FunctionEntry* function = reading.function) {
        panel.setClassCaption(function->classCaption);
        panel.setUnitCaption(function->unitCaption);
        list.setUnitCaption(function->unitCaption);
        panel.setSecondaryClassCaption(function->secondaryClassCaption);
        panel.setSecondaryUnitCaption(function->secondaryUnitCaption);
        panel.setDialPicture(function->dialPicture);
    }
    panel.setMainText(reading.MainText);
    panel.setSecondaryText(reading.SecondaryText);
}

ReadingCapture::ReadingCapture(
    VarModule& vars, PanelView& panel, LiveWindows& windows, CaptureClock& clock)
    : m_vars(vars)
    , m_panel(panel)
    , m_windows(windows)
    , m_clock(clock)
{
}

namespace {

/// The texts of a reading, as a record takes them.
void fillRecord(DataRecord& record, const MeasurementFrame& reading, const CaptureTime& stamp,
    const std::string& unit)
{
    record.DateText = stamp.date;
    record.TimeText = stamp.time;
    record.StampText.assign(stamp.date).append("\\").append(stamp.time);
    record.Value = static_cast<double>(reading.MainValue);
    record.DataText = reading.MainText;
    record.UnitText = unit;
    record.FunText = reading.function != nullptr ? reading.function->id : std::string_view {};
}

} // namespace

void ReadingCapture::onAcceptedFrame(FrameBytes bytes)
{
    const MeasurementFrame reading = decodeFrame(bytes);
    const bool storeFull = m_vars.DataCount >= kMaxRecords;
    if (!storeFull) {
        ++m_vars.DataCount;
        m_vars.DataRecords[static_cast<std::size_t>(m_vars.DataCount - 1)].No = m_vars.DataCount;
    }

    ListLiveView& list = m_windows.list();
    presentReading(reading, m_panel, list);
    list.setMainText(reading.MainText);
    if (storeFull)
        list.showStoreFull();
    if (storeFull && m_journal == nullptr)
        return;

    const std::string unit = m_panel.unitCaption();
    const CaptureTime stamp = m_clock.now();
    if (storeFull) {
        // The list cannot hold it; the journal keeps it.
        DataRecord unstored;
        fillRecord(unstored, reading, stamp, unit);
        m_journal->readingCaptured(bytes, unstored, false);
        return;
    }

    DataRecord& record = m_vars.DataRecords[static_cast<std::size_t>(m_vars.DataCount - 1)];
    fillRecord(record, reading, stamp, unit);
    if (m_journal != nullptr)
        m_journal->readingCaptured(bytes, record, true);

    list.insertRecordRow(record);
    m_windows.graph().LiveGraphUpdate();
}

} // namespace clampmeter
