// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/status_line.h"

#include "shared/counted_noun.h"

namespace clampmeter::cli {

void RateWindow::add(Clock::time_point at)
{
    // Dropped here too: without a terminal nobody asks for the rate, and a run of days would
    // keep every reading's time.
    forgetBefore(at);
    m_times.push_back(at);
}

std::size_t RateWindow::perMinute(Clock::time_point now)
{
    forgetBefore(now);
    return m_times.size();
}

void RateWindow::forgetBefore(Clock::time_point now)
{
    while (!m_times.empty() && now - m_times.front() >= std::chrono::minutes(1))
        m_times.pop_front();
}

std::string statusLine(const LogStatus& status, std::size_t width)
{
    std::string line = status.lastTime.empty() ? std::string("no reading yet")
                                               : status.lastTime + ' ' + status.lastMain;
    if (!status.lastTime.empty() && !status.lastUnit.empty())
        line += ' ' + status.lastUnit;
    line += " | " + countedNoun(status.readings, "reading", "readings");
    line += " | " + std::to_string(status.perMinute) + "/min | ";
    line += linkStateText(status.state);
    // Searching for the bridge names no port: the one it had may come back under another.
    if (status.state != LinkState::Searching && !status.port.empty())
        line += " on " + status.port;
    if (!status.broker.empty())
        line += " | " + status.broker;
    if (line.size() >= width)
        line.resize(width > 1 ? width - 1 : 0);
    return line;
}

} // namespace clampmeter::cli
