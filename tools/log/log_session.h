// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/link_panels.h"
#include "log/link_watch.h"
#include "log/log_broker.h"
#include "log/log_messages.h"
#include "log/log_options.h"
#include "log/reading_log.h"
#include "log/status_line.h"
#include "platform/bridge_reconnector.h"
#include "platform/serial_link.h"
#include "platform/stop_notifier.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>

namespace clampmeter::cli {

/// The logger on a Qt Core event loop: the program's serial link, its lookup and its
/// framing, the program's reconnector that looks for the bridge again every second while
/// none is open, a tick every second for the status, and the ends of a run (--count,
/// --duration, a stop signal). With --mqtt it also hands every reading to its broker side,
/// which starts once the meter's id is known (at once with --mqtt-id or --device, else with
/// the first bridge found), and ends the run only once that side has said goodbye. The rules
/// live in the plain parts it holds (ReadingLog, LinkWatch, the status line, the broker's
/// publisher); this class only wires them to Qt.
class LogSession final : public QObject, private LinkPanels {
    Q_OBJECT

public:
    /// All references must outlive this object, and so must `stop` (null: none), which says
    /// when the run should end. `brokerPassword` is the login's, for --mqtt.
    LogSession(const LogOptions& options, LogOutput& output, LogClock& clock, LogMessages& messages,
        StopNotifier* stop, std::string brokerPassword = {});
    ~LogSession() override;

    /// Finds and opens the bridge. False when the run cannot start: the bridge is missing
    /// or will not open and --wait was not given (the reason has been said).
    bool start();

    /// The exit code once the event loop has ended: 0, or 1 when the output failed, the
    /// broker refused the login at the start or its side could not be opened.
    int exitCode() const { return m_exitCode; }

    /// "N readings logged, N candidates rejected, N disconnections, hh:mm:ss without data",
    /// each noun in agreement with its count ("1 disconnection"), and with a broker
    /// "; broker: N published, N acknowledged, N waiting".
    std::string summary() const;

private:
    void setDisplayPanelVisible(bool visible) override;
    void setNoDataPanelVisible(bool visible) override;

    BridgeAttempt attemptBridge();
    bool startBroker(const std::string& port);
    void onAcceptedFrame(FrameBytes bytes);
    void onPortLost();
    void onTick();
    void finish(int exitCode);
    void sayNow(const std::optional<std::string>& message);
    void showStatus();

    const LogOptions& m_options;
    LogOutput& m_output;
    LogClock& m_clock;
    LogMessages& m_messages;
    ReadingLog m_log;
    LinkWatch m_watch;
    RateWindow m_rate;
    std::uint64_t m_batches = 0; ///< batches of 17 bytes, accepted or not
    std::uint64_t m_accepted = 0; ///< accepted frames, logged or not
    SerialLink m_link;
    BridgeReconnector m_reconnector;
    QTimer m_tick;
    QTimer m_duration;
    std::string m_brokerPassword;
    std::unique_ptr<LogBroker> m_broker;
    QTimer m_closeGuard; ///< ends a run whose broker does not answer the goodbye
    int m_exitCode = 0;
    bool m_finished = false;
};

} // namespace clampmeter::cli
