// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/measurement_frame.h"
#include "log/log_clock.h"
#include "log/log_line.h"
#include "log/log_output.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace clampmeter::cli {

/// Turns every accepted frame into one line of the log, stamped with the time it came.
class ReadingLog {
public:
    /// `output` and `clock` must outlive this object.
    ReadingLog(LogFormat format, LogOutput& output, LogClock& clock);

    /// Hears of every reading just before its line is written, with its time as the line has
    /// it.
    using Listener = std::function<void(const MeasurementFrame& reading, std::string_view time)>;
    void setListener(Listener listener) { m_listener = std::move(listener); }

    /// Decodes the frame and writes its line; false when the output failed.
    bool log(FrameBytes bytes);

    std::uint64_t readings() const { return m_readings; }
    /// The last reading logged, for the status line: its time of day, main text and unit.
    const std::string& lastTime() const { return m_lastTime; }
    const std::string& lastMain() const { return m_lastMain; }
    const std::string& lastUnit() const { return m_lastUnit; }

private:
    LogFormat m_format;
    LogOutput& m_output;
    LogClock& m_clock;
    Listener m_listener;
    std::uint64_t m_readings = 0;
    std::string m_lastTime;
    std::string m_lastMain;
    std::string m_lastUnit;
};

} // namespace clampmeter::cli
