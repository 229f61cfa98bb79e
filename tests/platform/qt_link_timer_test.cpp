// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The real timers as the framing relies on them, in real time. A loaded machine only makes
// ticks late, so every bound that a late tick could cross is either a "not before" or far
// from the expected time.

#include "platform/qt_link_timer.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace clampmeter {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kInterval {500};
constexpr qint64 kIntervalMs = kInterval.count();
/// Rounding of the millisecond clock; a tick is never earlier than this.
constexpr qint64 kRoundingMs = 2;
/// How long a test waits for a tick at most: a pass never waits this out.
constexpr int kTickTimeoutMs = 5000;

/// One QtLinkTimer and the times of its ticks, in milliseconds since the fixture began.
class QtLinkTimerTicks : public testing::Test {
protected:
    QtLinkTimerTicks() { m_clock.start(); }

    qint64 now() const { return m_clock.elapsed(); }
    bool waitForTicks(std::size_t count)
    {
        return QTest::qWaitFor([&] { return ticks.size() >= count; }, kTickTimeoutMs);
    }
    /// Waits `ms` with the event loop running; fails the test if the timer ticked meanwhile
    /// (the machine held the test back longer than the tick's distance).
    void waitBeforeTheTick(int ms)
    {
        QTest::qWait(ms);
        ASSERT_TRUE(ticks.empty()) << "the test was held back " << now() << " ms";
    }

    std::vector<qint64> ticks;
    QtLinkTimer timer {kInterval, [this] { onTick(); }};
    std::function<void()> alsoOnTick;

private:
    void onTick()
    {
        ticks.push_back(now());
        if (alsoOnTick)
            alsoOnTick();
    }

    QElapsedTimer m_clock;
};

TEST_F(QtLinkTimerTicks, StartsDisabledAndTicksOneIntervalAfterEnabling)
{
    EXPECT_FALSE(timer.isEnabled());
    QTest::qWait(static_cast<int>(kIntervalMs) + 100);
    EXPECT_TRUE(ticks.empty());

    const qint64 enabled = now();
    timer.enable();
    EXPECT_TRUE(timer.isEnabled());
    ASSERT_TRUE(waitForTicks(1));
    EXPECT_GE(ticks[0] - enabled, kIntervalMs - kRoundingMs);
}

TEST_F(QtLinkTimerTicks, EnablingARunningTimerKeepsItsNextTick)
{
    const qint64 enabled = now();
    timer.enable();
    ASSERT_NO_FATAL_FAILURE(waitBeforeTheTick(200));
    const qint64 enabledAgain = now();
    timer.enable();

    ASSERT_TRUE(waitForTicks(1));
    EXPECT_GE(ticks[0] - enabled, kIntervalMs - kRoundingMs);
    // A restarted count could not end before a full interval after the second enable().
    EXPECT_LT(ticks[0], enabledAgain + kIntervalMs - 50)
        << "enabled at " << enabled << " ms and again at " << enabledAgain << " ms";
}

TEST_F(QtLinkTimerTicks, DisablingThenEnablingRestartsTheCount)
{
    timer.enable();
    ASSERT_NO_FATAL_FAILURE(waitBeforeTheTick(200));
    const qint64 restarted = now();
    timer.disable();
    EXPECT_FALSE(timer.isEnabled());
    timer.enable();
    EXPECT_TRUE(timer.isEnabled());

    ASSERT_TRUE(waitForTicks(1));
    EXPECT_GE(ticks[0] - restarted, kIntervalMs - kRoundingMs);
}

TEST_F(QtLinkTimerTicks, KeepsTicksAtItsIntervalUntilDisabledAndAfterItIsEnabledAgain)
{
    const qint64 enabled = now();
    timer.enable();
    ASSERT_TRUE(waitForTicks(3));
    timer.disable();
    const qint64 disabled = now();
    EXPECT_GE(ticks[0] - enabled, kIntervalMs - kRoundingMs);
    EXPECT_GE(ticks[1] - ticks[0], kIntervalMs - kRoundingMs);
    EXPECT_GE(ticks[2] - ticks[1], kIntervalMs - kRoundingMs);
    // Late ticks are allowed, but not a slower timer: three intervals take well under four.
    EXPECT_LT(ticks[2] - enabled, 4 * kIntervalMs);

    QTest::qWait(static_cast<int>(2 * kIntervalMs));
    EXPECT_EQ(ticks.size(), 3U) << "ticked after being disabled";

    const qint64 enabledAgain = now();
    timer.enable();
    ASSERT_TRUE(waitForTicks(4));
    EXPECT_GE(ticks[3] - enabledAgain, kIntervalMs - kRoundingMs);
    EXPECT_LT(ticks[3] - disabled, 2 * kIntervalMs + 1500);
}

TEST_F(QtLinkTimerTicks, ATickThatCameLateIsFollowedByAWholeInterval)
{
    // Timer1's tick checks that the line stayed quiet since the tick before: with a tick
    // held back by a busy user interface, a count that kept its old rhythm would check
    // only the rest of an interval, and a short pause in the stream would look quiet.
    timer.enable();
    QTimer::singleShot(kInterval / 2, [] { std::this_thread::sleep_for(kInterval); });

    ASSERT_TRUE(waitForTicks(2));
    EXPECT_GE(ticks[0], kIntervalMs + kIntervalMs / 2 - kRoundingMs) << "the tick was not held";
    EXPECT_GE(ticks[1] - ticks[0], kIntervalMs - kRoundingMs);
}

TEST_F(QtLinkTimerTicks, DisablingFromItsOwnTickStopsIt)
{
    // Timer1 disables itself in the tick that finds the line quiet.
    alsoOnTick = [this] { timer.disable(); };
    timer.enable();
    ASSERT_TRUE(waitForTicks(1));
    EXPECT_FALSE(timer.isEnabled());
    QTest::qWait(static_cast<int>(2 * kIntervalMs));
    EXPECT_EQ(ticks.size(), 1U);
}

} // namespace
} // namespace clampmeter
