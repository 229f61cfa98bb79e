// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/reading_log.h"

namespace clampmeter::cli {

ReadingLog::ReadingLog(LogFormat format, LogOutput& output, LogClock& clock)
    : m_format(format)
    , m_output(output)
    , m_clock(clock)
{
}

bool ReadingLog::log(FrameBytes bytes)
{
    const LogInstant instant = m_clock.now();
    const MeasurementFrame reading = decodeFrame(bytes);
    const std::string time = isoTimestamp(instant);
    // On its way to the broker before it is in the file: whatever ends the run between the
    // two leaves no reading in the file that the broker never gets.
    if (m_listener)
        m_listener(reading, time);
    if (!m_output.write(instant, logLine(m_format, reading, time)))
        return false;
    ++m_readings;
    m_lastTime = timeOfDay(instant);
    m_lastMain = reading.MainText;
    m_lastUnit = reading.function != nullptr ? reading.function->unitCaption : std::string_view();
    return true;
}

} // namespace clampmeter::cli
