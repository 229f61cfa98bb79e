// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/bridge_connection.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

namespace clampmeter {

class SerialLink;

/// Keeps the meter's link through a pulled cable: once the port goes away, it looks for the
/// bridge once a second with the start's lookup, opens it as the start does and starts the
/// framing afresh (the quiet tick before the first frame). A port that is there but will
/// not open is tried again the same way. Between two looks nothing runs.
///
/// It says nothing itself: the program looks silently, the logger tells its messages from
/// the signals.
class BridgeReconnector final : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kLookInterval {1000};

    /// One look: finds and opens the bridge, through `link`.
    using Attempt = std::function<BridgeAttempt()>;

    /// Follows `link`'s losses from now on; `link` must outlive this object.
    BridgeReconnector(SerialLink& link, Attempt attempt, QObject* parent = nullptr);

    /// Looks now; on success the framing starts, else it looks again every second.
    BridgeAttempt lookNow();
    /// Looks every second from a second from now until the bridge is open again.
    void startLooking();
    bool looking() const { return m_timer.isActive(); }

signals:
    /// The bridge is open again on `port` and the framing starts afresh.
    void reconnected(const QString& port);
    /// A look found no bridge, or one that would not open; `reason` says why in one line.
    void lookFailed(const QString& reason);

private:
    SerialLink& m_link;
    Attempt m_attempt;
    QTimer m_timer;
};

} // namespace clampmeter
