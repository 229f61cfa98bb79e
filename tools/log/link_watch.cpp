// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/link_watch.h"

#include "link/frame_sync.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace clampmeter::cli {

std::string_view linkStateText(LinkState state)
{
    switch (state) {
    case LinkState::Searching:
        return "looking for the bridge";
    case LinkState::Opened:
        return "waiting for data";
    case LinkState::Receiving:
        return "receiving";
    case LinkState::Silent:
        return "no data";
    }
    return {};
}

LinkWatch::LinkWatch(Clock::time_point start)
    : m_openedAt(start)
    , m_lastBatch(start)
    , m_silentSince(start)
{
}

std::optional<std::string> LinkWatch::searchFailed(const std::string& reason)
{
    if (reason == m_lastFailure)
        return std::nullopt;
    m_lastFailure = reason;
    return reason + "; still looking every second";
}

std::string LinkWatch::opened(const std::string& port, Clock::time_point now)
{
    m_state = LinkState::Opened;
    m_port = port;
    m_openedAt = now;
    m_lastFailure.clear();
    const bool again = m_everOpened;
    m_everOpened = true;
    return (again ? "reading " : "reading the meter on ") + port + (again ? " again" : "");
}

std::string LinkWatch::lost(Clock::time_point now)
{
    ++m_summary.disconnections;
    m_state = LinkState::Searching;
    if (!m_silentSince)
        m_silentSince = std::min(m_lastBatch, now);
    m_silenceNoted = true;
    return m_port + " went away; looking for the bridge every second";
}

std::optional<std::string> LinkWatch::batchArrived(Clock::time_point now)
{
    m_lastBatch = now;
    m_state = LinkState::Receiving;
    if (!m_silentSince)
        return std::nullopt;
    const auto silence
        = std::chrono::duration_cast<std::chrono::milliseconds>(now - *m_silentSince);
    m_summary.timeWithoutData += silence;
    m_silentSince.reset();
    const bool noted = std::exchange(m_silenceNoted, false);
    if (!noted)
        return std::nullopt;
    return "data again after " + spokenDuration(silence) + " without data";
}

std::optional<std::string> LinkWatch::watchdogExpired(Clock::time_point /*now*/)
{
    if (m_state != LinkState::Receiving)
        return std::nullopt;
    return silenceStarts(m_lastBatch);
}

std::optional<std::string> LinkWatch::tick(Clock::time_point now)
{
    if (m_state != LinkState::Opened || now - m_openedAt < kWatchdogInterval)
        return std::nullopt;
    return silenceStarts(m_silentSince.value_or(m_openedAt));
}

std::optional<std::string> LinkWatch::silenceStarts(Clock::time_point since)
{
    m_state = LinkState::Silent;
    if (!m_silentSince)
        m_silentSince = since;
    if (std::exchange(m_silenceNoted, true))
        return std::nullopt;
    return "no data for " + std::to_string(kWatchdogInterval.count() / 1000) + " s";
}

LinkSummary LinkWatch::summary(Clock::time_point now) const
{
    LinkSummary summary = m_summary;
    if (m_silentSince)
        summary.timeWithoutData
            += std::chrono::duration_cast<std::chrono::milliseconds>(now - *m_silentSince);
    return summary;
}

std::string spokenDuration(std::chrono::milliseconds duration)
{
    const long long ms = duration.count();
    std::array<char, 48> text {};
    if (ms < 60'000)
        std::snprintf(text.data(), text.size(), "%lld.%lld s", ms / 1000, ms % 1000 / 100);
    else if (ms < 3'600'000)
        std::snprintf(text.data(), text.size(), "%lld min %02lld s", ms / 60'000, ms / 1000 % 60);
    else
        std::snprintf(
            text.data(), text.size(), "%lld h %02lld min", ms / 3'600'000, ms / 60'000 % 60);
    return text.data();
}

std::string clockDuration(std::chrono::milliseconds duration)
{
    const long long seconds = duration.count() / 1000;
    std::array<char, 48> text {};
    std::snprintf(text.data(), text.size(), "%02lld:%02lld:%02lld", seconds / 3600,
        seconds / 60 % 60, seconds % 60);
    return text.data();
}

} // namespace clampmeter::cli
