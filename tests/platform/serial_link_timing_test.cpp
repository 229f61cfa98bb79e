// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The link's timing in real time, on a pseudo-terminal with the real timers: when "NO DATA"
// shows, and that a stream without a quiet gap is never cut into frames. Bounds are loose
// where a loaded machine could only make things late, and "not before" bounds are exact.

#include "../link/decoder_frames.h"
#include "platform/pseudo_terminal.h"
#include "platform/serial_link.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace clampmeter {
namespace {

using std::chrono::milliseconds;

constexpr qint64 kWatchdogMs = kWatchdogInterval.count();
/// Rounding of the millisecond clock; nothing the timers do comes earlier than this.
constexpr qint64 kRoundingMs = 2;
/// How long a test waits for an event at most: a pass never waits this out.
constexpr int kEventTimeoutMs = 3000;

test::FrameArray meterFrame(std::uint8_t number)
{
    return test::buildFrame({.phase = 1, .number = number, .main = 229.9F, .secondary = 50.0F});
}

std::string listed(const std::vector<qint64>& times)
{
    std::string text;
    for (const qint64 ms : times)
        text += (text.empty() ? "" : ", ") + std::to_string(ms);
    return text + " ms";
}

/// Panels that note when each was shown, in milliseconds on the test's clock.
class TimedPanels final : public LinkPanels {
public:
    explicit TimedPanels(const QElapsedTimer& clock)
        : m_clock(clock)
    {
    }

    void setDisplayPanelVisible(bool visible) override
    {
        if (visible)
            displayShownAt.push_back(m_clock.elapsed());
    }
    void setNoDataPanelVisible(bool visible) override
    {
        if (visible)
            noDataShownAt.push_back(m_clock.elapsed());
    }

    std::vector<qint64> displayShownAt;
    std::vector<qint64> noDataShownAt;

private:
    const QElapsedTimer& m_clock;
};

/// A SerialLink on the slave side of a fresh pseudo-terminal; the test writes to the master.
class TimedLinkOnPty : public testing::Test {
protected:
    TimedLinkOnPty() { clock.start(); }

    void openLink()
    {
        ASSERT_TRUE(pty.has_value());
        link.emplace(panels, [this](FrameBytes) { acceptedAt.push_back(clock.elapsed()); });
        const PortOpenResult opened = link->open(QString::fromStdString(pty->slavePath()));
        ASSERT_TRUE(opened.ok()) << opened.reason;
        link->portOpened();
    }
    void waitUntilListening()
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return link->isListening(); }, kEventTimeoutMs));
    }
    /// Runs the event loop until the test's clock reads `ms`.
    void waitUntil(qint64 ms)
    {
        if (const qint64 left = ms - clock.elapsed(); left > 0)
            QTest::qWait(static_cast<int>(left));
    }

    QElapsedTimer clock;
    std::optional<PseudoTerminal> pty = PseudoTerminal::open();
    TimedPanels panels {clock};
    std::vector<qint64> acceptedAt;
    std::optional<SerialLink> link;
};

TEST_F(TimedLinkOnPty, NoDataNeverShowsWhileFramesComeEvery1500MsAndShowsAbout2sAfterTheLast)
{
    constexpr int kFrames = 6;
    constexpr qint64 kPeriodMs = 1500;
    openLink();
    waitUntilListening();

    const qint64 first = clock.elapsed();
    for (int n = 0; n < kFrames; ++n) {
        waitUntil(first + n * kPeriodMs);
        ASSERT_TRUE(pty->write(meterFrame(static_cast<std::uint8_t>(n))));
    }
    ASSERT_TRUE(QTest::qWaitFor([this] { return acceptedAt.size() == kFrames; }, kEventTimeoutMs));
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return panels.noDataShownAt.size() > 0; }, 2 * static_cast<int>(kWatchdogMs)));
    QTest::qWait(100);

    for (int n = 1; n < kFrames; ++n) {
        if (acceptedAt[n] - acceptedAt[n - 1] >= kWatchdogMs - 100)
            GTEST_SKIP() << "the machine held frame " << n << " back "
                         << acceptedAt[n] - acceptedAt[n - 1] << " ms after the one before";
    }
    const std::string times
        = "frames at " + listed(acceptedAt) + "; \"NO DATA\" at " + listed(panels.noDataShownAt);
    EXPECT_EQ(panels.noDataShownAt.size(), 1U) << times;
    const qint64 sinceLastFrame = panels.noDataShownAt.front() - acceptedAt.back();
    EXPECT_GE(sinceLastFrame, kWatchdogMs - kRoundingMs) << "too early: " << times;
    EXPECT_LE(sinceLastFrame, kWatchdogMs + 1000) << "too late: " << times;
}

/// A stream of bytes with short pauses, written by a thread of its own as a meter would.
class TrickledStream {
public:
    /// Writes `bytes` round and round, one at a time, until stopped.
    TrickledStream(PseudoTerminal& pty, std::vector<std::uint8_t> bytes)
        : m_thread([this, &pty, bytes = std::move(bytes)] { run(pty, bytes); })
    {
    }
    ~TrickledStream() { stop(); }
    TrickledStream(const TrickledStream&) = delete;
    TrickledStream& operator=(const TrickledStream&) = delete;

    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    /// The longest time between two writes (valid once stopped).
    milliseconds longestPause() const { return m_longestPause; }

private:
    void run(PseudoTerminal& pty, const std::vector<std::uint8_t>& bytes)
    {
        using Clock = std::chrono::steady_clock;
        auto last = Clock::now();
        for (std::size_t i = 0; !m_stop; ++i) {
            const std::uint8_t byte = bytes[i % bytes.size()];
            if (!pty.write({&byte, 1}))
                return;
            const auto now = Clock::now();
            if (i > 0)
                m_longestPause = std::max(
                    m_longestPause, std::chrono::duration_cast<milliseconds>(now - last));
            last = now;
            // 20 to 40 ms, in an order that never repeats with the frame length.
            std::this_thread::sleep_for(milliseconds(20 + (i * 7) % 21));
        }
    }

    std::atomic<bool> m_stop {false};
    milliseconds m_longestPause {0};
    std::thread m_thread;
};

/// Frames that would each be accepted on their own, run together.
std::vector<std::uint8_t> framesRunTogether()
{
    std::vector<std::uint8_t> bytes;
    for (std::uint8_t n = 0; n < 4; ++n) {
        const test::FrameArray frame = meterFrame(n);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    return bytes;
}

struct BusyInterface {
    const char* name;
    milliseconds every; ///< how often the user-interface thread is busy; 0 for never
    milliseconds busyFor;
};

void PrintTo(const BusyInterface& row, std::ostream* out)
{
    *out << row.name;
}

class StreamWithoutQuietGap : public TimedLinkOnPty,
                              public testing::WithParamInterface<BusyInterface> { };

INSTANTIATE_TEST_SUITE_P(Interface, StreamWithoutQuietGap,
    testing::Values(BusyInterface {"Idle", milliseconds(0), milliseconds(0)},
        // Painting and the list window keep the thread for tens of milliseconds at a time.
        BusyInterface {"BusyNow40MsThenAgain", milliseconds(110), milliseconds(40)}),
    [](const testing::TestParamInfo<BusyInterface>& row) { return std::string(row.param.name); });

TEST_P(StreamWithoutQuietGap, IsNeverCutIntoFramesAndTheFirstFrameAfterItIs)
{
    ASSERT_TRUE(pty.has_value());
    TrickledStream stream(*pty, framesRunTogether());
    QTest::qWait(30);
    openLink(); // in the middle of the stream, as when the meter was already sending

    QTimer busy;
    QObject::connect(
        &busy, &QTimer::timeout, [&] { std::this_thread::sleep_for(GetParam().busyFor); });
    if (GetParam().every.count() > 0)
        busy.start(GetParam().every);
    QTest::qWait(2500);
    busy.stop();
    stream.stop();

    if (stream.longestPause() >= kResyncInterval)
        GTEST_SKIP() << "the writer was held back " << stream.longestPause().count()
                     << " ms: the stream had a quiet gap";
    EXPECT_TRUE(acceptedAt.empty())
        << acceptedAt.size() << " frames accepted, the first at " << acceptedAt.front() << " ms";
    // Any batch of 17 bytes shows the display: none means the port never armed.
    EXPECT_TRUE(panels.displayShownAt.empty()) << "the port armed in the stream; a batch came at "
                                               << panels.displayShownAt.front() << " ms";

    waitUntilListening();
    ASSERT_TRUE(pty->write(meterFrame(9)));
    EXPECT_TRUE(QTest::qWaitFor([this] { return !acceptedAt.empty(); }, kEventTimeoutMs));
}

} // namespace
} // namespace clampmeter
