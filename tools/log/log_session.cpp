// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/log_session.h"

#include "platform/system_serial_device_map.h"
#include "shared/counted_noun.h"

#include <QCoreApplication>

#include <chrono>

namespace clampmeter::cli {
namespace {

constexpr std::chrono::milliseconds kTickInterval {1000};

LinkWatch::Clock::time_point steadyNow()
{
    return LinkWatch::Clock::now();
}

} // namespace

LogSession::LogSession(const LogOptions& options, LogOutput& output, LogClock& clock,
    LogMessages& messages, int stopDescriptor)
    : m_options(options)
    , m_output(output)
    , m_clock(clock)
    , m_messages(messages)
    , m_log(options.format, output, clock)
    , m_watch(steadyNow())
    , m_link(*this, [this](FrameBytes bytes) { onAcceptedFrame(bytes); })
    , m_reconnector(m_link, [this] { return attemptBridge(); })
{
    connect(&m_link, &SerialLink::portLost, this, &LogSession::onPortLost);
    connect(&m_reconnector, &BridgeReconnector::reconnected, this, [this](const QString& port) {
        sayNow(m_watch.opened(port.toStdString(), steadyNow()));
        showStatus();
    });
    connect(&m_reconnector, &BridgeReconnector::lookFailed, this,
        [this](const QString& reason) { sayNow(m_watch.searchFailed(reason.toStdString())); });
    m_tick.setInterval(kTickInterval);
    connect(&m_tick, &QTimer::timeout, this, &LogSession::onTick);
    m_duration.setSingleShot(true);
    connect(&m_duration, &QTimer::timeout, this, [this] { finish(0); });
    if (stopDescriptor >= 0) {
        m_stop.emplace(stopDescriptor, QSocketNotifier::Read);
        connect(&*m_stop, &QSocketNotifier::activated, this, [this] {
            m_stop->setEnabled(false);
            finish(0);
        });
    }
}

bool LogSession::start()
{
    if (!m_options.wait) {
        // Without --wait a missing bridge ends the run in the program's words alone.
        const BridgeAttempt first = attemptBridge();
        if (!first.connected()) {
            m_messages.say(first.failure);
            return false;
        }
        m_link.portOpened();
        sayNow(m_watch.opened(first.port, steadyNow()));
    } else if (!m_reconnector.lookNow().connected()) {
        m_reconnector.startLooking();
    }
    m_tick.start();
    if (m_options.duration)
        m_duration.start(*m_options.duration);
    showStatus();
    return true;
}

std::string LogSession::summary() const
{
    const LinkSummary link = m_watch.summary(steadyNow());
    return countedNoun(m_log.readings(), "reading", "readings") + " logged, "
        + countedNoun(m_batches - m_accepted, "candidate", "candidates") + " rejected, "
        + countedNoun(link.disconnections, "disconnection", "disconnections") + ", "
        + clockDuration(link.timeWithoutData) + " without data";
}

BridgeAttempt LogSession::attemptBridge()
{
    const auto map = makeSystemSerialDeviceMap();
    return clampmeter::attemptBridge(*map, m_options.device,
        [this](const std::string& port) { return m_link.open(QString::fromStdString(port)); });
}

void LogSession::setDisplayPanelVisible(bool visible)
{
    // The framing shows the display for every batch of 17 bytes, accepted or not.
    if (!visible)
        return;
    ++m_batches;
    sayNow(m_watch.batchArrived(steadyNow()));
}

void LogSession::setNoDataPanelVisible(bool visible)
{
    if (!visible)
        return;
    sayNow(m_watch.watchdogExpired(steadyNow()));
    showStatus();
}

void LogSession::onAcceptedFrame(FrameBytes bytes)
{
    // Counted even when it cannot be logged, or arrives after the end: it was not rejected.
    ++m_accepted;
    if (m_finished)
        return;
    if (!m_log.log(bytes)) {
        m_messages.say(m_output.failure());
        finish(1);
        return;
    }
    m_rate.add(steadyNow());
    if (m_options.count && m_log.readings() >= *m_options.count)
        finish(0);
    showStatus();
}

void LogSession::onPortLost()
{
    sayNow(m_watch.lost(steadyNow()));
    showStatus();
}

void LogSession::onTick()
{
    sayNow(m_watch.tick(steadyNow()));
    showStatus();
}

void LogSession::finish(int exitCode)
{
    if (m_finished)
        return;
    m_finished = true;
    m_exitCode = exitCode;
    QCoreApplication::exit(exitCode);
}

void LogSession::sayNow(const std::optional<std::string>& message)
{
    if (message)
        m_messages.say(isoTimestamp(m_clock.now()) + " " + *message);
}

void LogSession::showStatus()
{
    if (!m_messages.showsStatus())
        return;
    LogStatus status;
    status.lastTime = m_log.lastTime();
    status.lastMain = m_log.lastMain();
    status.lastUnit = m_log.lastUnit();
    status.readings = m_log.readings();
    status.perMinute = m_rate.perMinute(steadyNow());
    status.state = m_watch.state();
    status.port = m_watch.port();
    m_messages.showStatus(statusLine(status, m_messages.columns()));
}

} // namespace clampmeter::cli
