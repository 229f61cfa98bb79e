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
// The broker's goodbye waits this long at most for the acknowledgements still out.
constexpr std::chrono::milliseconds kBrokerCloseLimit {10000};

LinkWatch::Clock::time_point steadyNow()
{
    return LinkWatch::Clock::now();
}

} // namespace

LogSession::LogSession(const LogOptions& options, LogOutput& output, LogClock& clock,
    LogMessages& messages, StopNotifier* stop, std::string brokerPassword)
    : m_options(options)
    , m_output(output)
    , m_clock(clock)
    , m_messages(messages)
    , m_log(options.format, output, clock)
    , m_watch(steadyNow())
    , m_link(*this, [this](FrameBytes bytes) { onAcceptedFrame(bytes); })
    , m_reconnector(m_link, [this] { return attemptBridge(); })
    , m_brokerPassword(std::move(brokerPassword))
{
    m_log.setListener([this](const MeasurementFrame& reading, std::string_view time) {
        if (m_broker)
            m_broker->reading(reading, time);
    });
    connect(&m_link, &SerialLink::portLost, this, &LogSession::onPortLost);
    connect(&m_reconnector, &BridgeReconnector::reconnected, this, [this](const QString& port) {
        sayNow(m_watch.opened(port.toStdString(), steadyNow()));
        if (!startBroker(port.toStdString()))
            finish(1);
        showStatus();
    });
    connect(&m_reconnector, &BridgeReconnector::lookFailed, this,
        [this](const QString& reason) { sayNow(m_watch.searchFailed(reason.toStdString())); });
    m_tick.setInterval(kTickInterval);
    connect(&m_tick, &QTimer::timeout, this, &LogSession::onTick);
    m_duration.setSingleShot(true);
    connect(&m_duration, &QTimer::timeout, this, [this] { finish(0); });
    m_closeGuard.setSingleShot(true);
    connect(&m_closeGuard, &QTimer::timeout, this, [this] { QCoreApplication::exit(m_exitCode); });
    if (stop != nullptr)
        connect(stop, &StopNotifier::stopRequested, this, [this] { finish(0); });
}

LogSession::~LogSession() = default;

bool LogSession::start()
{
    // The meter's id comes from its bridge unless it is given: with --device the bridge is
    // known before it opens.
    if ((!m_options.mqtt.id.empty() || !m_options.device.empty()) && !startBroker(m_options.device))
        return false;
    if (!m_options.wait) {
        // Without --wait a missing bridge ends the run in the program's words alone.
        const BridgeAttempt first = attemptBridge();
        if (!first.connected()) {
            m_messages.say(first.failure);
            return false;
        }
        m_link.portOpened();
        sayNow(m_watch.opened(first.port, steadyNow()));
        if (!startBroker(first.port))
            return false;
    } else if (const BridgeAttempt first = m_reconnector.lookNow(); !first.connected()) {
        m_reconnector.startLooking();
    } else if (!startBroker(first.port)) {
        return false;
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
    std::string text = countedNoun(m_log.readings(), "reading", "readings") + " logged, "
        + countedNoun(m_batches - m_accepted, "candidate", "candidates") + " rejected, "
        + countedNoun(link.disconnections, "disconnection", "disconnections") + ", "
        + clockDuration(link.timeWithoutData) + " without data";
    if (m_broker)
        text += "; broker: " + m_broker->summary();
    return text;
}

bool LogSession::startBroker(const std::string& port)
{
    if (m_options.mqtt.url.empty() || m_broker)
        return true;
    LogBrokerHooks hooks;
    hooks.say = [this](const std::string& message) { sayNow(message); };
    hooks.stop = [this](int exitCode) { finish(exitCode); };
    hooks.closed = [this] { QCoreApplication::exit(m_exitCode); };
    std::string problem;
    m_broker = openLogBroker(m_options.mqtt, meterId(m_options.mqtt, port), m_brokerPassword,
        m_options.wait, std::move(hooks), problem);
    if (!m_broker) {
        m_messages.say(problem);
        return false;
    }
    m_broker->linkState(m_watch.state());
    return true;
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
    if (m_broker)
        m_broker->tick();
    showStatus();
}

void LogSession::finish(int exitCode)
{
    if (m_finished)
        return;
    m_finished = true;
    m_exitCode = exitCode;
    if (!m_broker) {
        QCoreApplication::exit(exitCode);
        return;
    }
    // The run ends once the broker has had its goodbye (the hook `closed`), or the guard.
    m_closeGuard.start(kBrokerCloseLimit);
    m_broker->close();
}

void LogSession::sayNow(const std::optional<std::string>& message)
{
    if (message)
        m_messages.say(isoTimestamp(m_clock.now()) + " " + *message);
}

void LogSession::showStatus()
{
    if (m_broker)
        m_broker->linkState(m_watch.state());
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
    if (m_broker)
        status.broker = m_broker->status();
    m_messages.showStatus(statusLine(status, m_messages.columns()));
}

} // namespace clampmeter::cli
