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
    if (!m_output.write(instant, logLine(m_format, reading, time)))
        return false;
    if (m_listener)
        m_listener(reading, time);
    ++m_readings;
    m_lastTime = timeOfDay(instant);
    m_lastMain = reading.MainText;
    m_lastUnit = reading.function != nullptr ? reading.function->unitCaption : std::string_view();
    return true;
}

} // namespace clampmeter::cli
