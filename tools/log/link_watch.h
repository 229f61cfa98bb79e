// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace clampmeter::cli {

/// Where the logger's link stands.
enum class LinkState : std::uint8_t {
    Searching, ///< no port open: looking for the bridge every second
    Opened, ///< the port is open and no frame has come since
    Receiving, ///< frames come
    Silent, ///< the port is open and no frame has come for 2 s
};

/// Words for the status line: "looking for the bridge", "waiting for data", ….
std::string_view linkStateText(LinkState state);

struct LinkSummary {
    std::uint64_t disconnections = 0;
    std::chrono::milliseconds timeWithoutData {0};
};

/// Follows the link through losses and silences and says what happened, each thing once:
/// the bridge missing or not opening (once until the reason changes or the port opens), the
/// port going away, the port opened again, no data for 2 s (once per silence: a loss counts
/// as the silence's note) and data coming back after a silence that was noted. Each call
/// returns the message to show, if any.
///
/// Time without data runs from the start, and from the last batch of 17 bytes before a
/// silence or a loss, until the next batch.
class LinkWatch {
public:
    using Clock = std::chrono::steady_clock;

    explicit LinkWatch(Clock::time_point start);

    /// A look for the bridge found none or could not open it; `reason` says why in one line.
    /// The message says that the search goes on.
    std::optional<std::string> searchFailed(const std::string& reason);
    /// The port `port` is open and framing starts.
    std::string opened(const std::string& port, Clock::time_point now);
    /// The open port went away.
    std::string lost(Clock::time_point now);
    /// A batch of 17 bytes came, accepted or not: the line is alive.
    std::optional<std::string> batchArrived(Clock::time_point now);
    /// The framing's watchdog ran out: 2 s without a batch.
    std::optional<std::string> watchdogExpired(Clock::time_point now);
    /// Once a second: notes an open port that has brought nothing for 2 s.
    std::optional<std::string> tick(Clock::time_point now);

    LinkState state() const { return m_state; }
    const std::string& port() const { return m_port; }
    LinkSummary summary(Clock::time_point now) const;

private:
    std::optional<std::string> silenceStarts(Clock::time_point since);

    LinkState m_state = LinkState::Searching;
    std::string m_port;
    std::string m_lastFailure;
    bool m_everOpened = false;
    Clock::time_point m_openedAt;
    Clock::time_point m_lastBatch;
    std::optional<Clock::time_point> m_silentSince;
    bool m_silenceNoted = false; ///< this silence has been told (no data, or the loss)
    LinkSummary m_summary;
};

/// "12.3 s", "4 min 05 s", "2 h 03 min" for the messages; whole seconds from a minute on.
std::string spokenDuration(std::chrono::milliseconds duration);

/// "01:02:03" (hours may exceed 24) for the summary.
std::string clockDuration(std::chrono::milliseconds duration);

} // namespace clampmeter::cli
