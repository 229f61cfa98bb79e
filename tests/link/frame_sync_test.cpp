// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/frame_sync.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace clampmeter {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Log = std::vector<std::string>;

Bytes frame(std::uint8_t number)
{
    // Voltage function, 229.9 V and 50 Hz; byte 4 tells frames apart.
    return {0x68, 0x68, 0x00, 0x01, number, 0x00, 0x01, 0x66, 0xE6, 0x65, 0x43, 0x00, 0x00, 0x48,
        0x42, 0x00, 0x00};
}

Bytes concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class FakePort final : public SerialPortControl {
public:
    explicit FakePort(Log& log)
        : m_log(log)
    {
    }

    std::size_t InBufferCount() const override { return waiting.size(); }
    void discardInBuffer() override
    {
        m_log.push_back("discard");
        waiting.clear();
    }
    Bytes Input() override
    {
        m_log.push_back("input");
        // What the driver delivers between the count and the read.
        waiting.insert(waiting.end(), arrivingDuringRead.begin(), arrivingDuringRead.end());
        arrivingDuringRead.clear();
        const std::size_t kept = waiting.size() - std::min(lostOnRead, waiting.size());
        Bytes read(waiting.begin(), waiting.begin() + static_cast<std::ptrdiff_t>(kept));
        waiting.clear();
        return read;
    }
    void setRThreshold(std::size_t bytes) override
    {
        m_log.push_back("threshold " + std::to_string(bytes));
        threshold = bytes;
    }

    Bytes waiting;
    Bytes arrivingDuringRead;
    std::size_t lostOnRead = 0;
    std::size_t threshold = 0;

private:
    Log& m_log;
};

class FakeTimer final : public LinkTimer {
public:
    FakeTimer(Log& log, std::string name)
        : m_log(log)
        , m_name(std::move(name))
    {
    }

    void enable() override
    {
        m_log.push_back(m_name + " enable");
        if (!enabled)
            ++starts;
        enabled = true;
    }
    void disable() override
    {
        m_log.push_back(m_name + " disable");
        enabled = false;
    }
    bool isEnabled() const override { return enabled; }

    bool enabled = false;
    int starts = 0; ///< times a full interval began counting

private:
    Log& m_log;
    std::string m_name;
};

class FakePanels final : public LinkPanels {
public:
    explicit FakePanels(Log& log)
        : m_log(log)
    {
    }

    void setDisplayPanelVisible(bool visible) override
    {
        m_log.push_back(visible ? "Picture1 show" : "Picture1 hide");
        display = visible;
    }
    void setNoDataPanelVisible(bool visible) override
    {
        m_log.push_back(visible ? "Picture3 show" : "Picture3 hide");
        noData = visible;
    }

    bool display = false;
    bool noData = true;

private:
    Log& m_log;
};

// The framing wired to fakes. arrive() plays the port: it raises the receive event
// only while armed and once the threshold is reached.
struct Rig {
    Log log;
    FakePort port {log};
    FakeTimer timer1 {log, "Timer1"};
    FakeTimer timer2 {log, "Timer2"};
    FakePanels panels {log};
    std::vector<Bytes> handled;
    FrameSync sync {port, timer1, timer2, panels, [this](FrameBytes bytes) {
                        log.push_back("handler");
                        handled.emplace_back(bytes.begin(), bytes.end());
                    }};

    void arrive(const Bytes& bytes)
    {
        port.waiting.insert(port.waiting.end(), bytes.begin(), bytes.end());
        if (port.threshold > 0 && port.waiting.size() >= port.threshold)
            sync.onComm(kComEvReceive);
    }
    void arriveOneByOne(const Bytes& bytes)
    {
        for (std::uint8_t b : bytes)
            arrive({b});
    }
    // Port opened and the first tick found the line quiet.
    void listen()
    {
        sync.portOpened();
        sync.onTimer1Tick();
    }
    bool isListening() const { return port.threshold == kThresholdArmed && !timer1.enabled; }
    bool isResynchronising() const
    {
        return port.threshold == kThresholdDisarmed && timer1.enabled;
    }
    bool showsNoData() const { return panels.noData && !panels.display; }
    bool showsDisplay() const { return panels.display && !panels.noData; }
};

TEST(FrameSync, NoDataStaysUpFromOpeningUntilTheFirstBatchOfSeventeen)
{
    Rig rig;
    rig.sync.portOpened();
    EXPECT_TRUE(rig.isResynchronising());
    EXPECT_FALSE(rig.timer2.enabled) << "the watchdog runs only once data has come";

    // Bytes that come before the first quiet tick are thrown away, not framed.
    rig.arrive(frame(1));
    rig.sync.onTimer1Tick();
    EXPECT_TRUE(rig.isResynchronising());
    EXPECT_TRUE(rig.port.waiting.empty());
    rig.sync.onTimer1Tick();
    ASSERT_TRUE(rig.isListening());
    rig.arrive(concat(frame(2), frame(3)));

    EXPECT_TRUE(rig.showsNoData());
    EXPECT_TRUE(rig.handled.empty());

    rig.arrive(frame(4));
    EXPECT_TRUE(rig.showsDisplay());
    EXPECT_EQ(rig.handled, std::vector<Bytes> {frame(4)});
}

TEST(FrameSync, WholeFrameIsHandledOnceAfterThePanelsSwapAndTheWatchdogRestarts)
{
    Rig rig;
    rig.listen();
    rig.log.clear();

    rig.arrive(frame(7));

    EXPECT_EQ(rig.handled, std::vector<Bytes> {frame(7)});
    const Log expected {"Timer2 disable", "Picture1 show", "Picture3 hide", "Timer2 enable",
        "input", "discard", "handler"};
    EXPECT_EQ(rig.log, expected);
    EXPECT_TRUE(rig.isListening());
    EXPECT_TRUE(rig.port.waiting.empty());
}

TEST(FrameSync, EveryFrameRestartsTheWatchdogCount)
{
    Rig rig;
    rig.listen();
    for (std::uint8_t n = 1; n <= 3; ++n)
        rig.arrive(frame(n));

    EXPECT_EQ(rig.timer2.starts, 3);
    EXPECT_EQ(rig.handled, (std::vector<Bytes> {frame(1), frame(2), frame(3)}));
}

TEST(FrameSync, BatchOfAnotherSizeIsDiscardedAndTheNextLoneFrameIsHandled)
{
    struct Case {
        const char* name;
        Bytes batch;
    };
    const std::vector<Case> cases {
        {"two frames back to back", concat(frame(1), frame(2))},
        {"a frame and a stray byte", concat(frame(1), {0x00})},
        {"a full input buffer", Bytes(1024, 0x68)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.listen();
        rig.arrive(frame(9));
        const int watchdogStarts = rig.timer2.starts;
        rig.sync.onTimer2Tick();

        rig.arrive(c.batch);

        EXPECT_TRUE(rig.port.waiting.empty());
        EXPECT_EQ(rig.handled.size(), 1U);
        EXPECT_EQ(rig.timer2.starts, watchdogStarts);
        EXPECT_TRUE(rig.showsNoData()) << "no batch of 17 bytes came, so no sign of life";
        EXPECT_TRUE(rig.isListening());

        rig.arrive(frame(10));
        EXPECT_EQ(rig.handled.back(), frame(10));
        EXPECT_TRUE(rig.showsDisplay());
    }
}

TEST(FrameSync, WrongHeaderProvesTheLineAliveButResynchronises)
{
    struct Case {
        const char* name;
        std::uint8_t byte0;
        std::uint8_t byte1;
    };
    const std::vector<Case> cases {
        {"first header byte wrong", 0x00, 0x68},
        {"second header byte wrong", 0x68, 0x67},
        {"both wrong", 0x86, 0x86},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.listen();
        Bytes bad = frame(1);
        bad[0] = c.byte0;
        bad[1] = c.byte1;

        rig.arrive(bad);

        EXPECT_TRUE(rig.handled.empty());
        EXPECT_TRUE(rig.showsDisplay());
        EXPECT_EQ(rig.timer2.starts, 1);
        EXPECT_TRUE(rig.isResynchronising());
        EXPECT_TRUE(rig.port.waiting.empty());

        rig.sync.onTimer1Tick();
        rig.arrive(frame(2));
        EXPECT_EQ(rig.handled, std::vector<Bytes> {frame(2)});
    }
}

TEST(FrameSync, FrameCutInTheMiddleFindsTheBoundaryAgainAfterAQuietTick)
{
    Rig rig;
    rig.listen();
    const Bytes first = frame(1);
    // Armed in the middle of a frame: its tail and the head of the next make one batch.
    rig.arriveOneByOne(Bytes(first.begin() + 12, first.end()));
    rig.arriveOneByOne(frame(2));
    EXPECT_TRUE(rig.handled.empty());
    EXPECT_TRUE(rig.isResynchronising());

    rig.sync.onTimer1Tick();
    EXPECT_TRUE(rig.isResynchronising()) << "the rest of frame 2 was still waiting";
    rig.sync.onTimer1Tick();
    rig.arriveOneByOne(frame(3));

    EXPECT_EQ(rig.handled, std::vector<Bytes> {frame(3)});
}

TEST(FrameSync, APortOpenedAgainAfterALossStartsAfreshFromAQuietTick)
{
    Rig rig;
    rig.listen();
    rig.arrive(frame(1));
    // The line went away while listening; the port opened again brings a frame at once,
    // before any quiet moment: it may be the tail of something, never a frame.
    rig.sync.portOpened();
    EXPECT_TRUE(rig.isResynchronising());
    rig.arrive(frame(2));
    rig.sync.onTimer1Tick();
    rig.sync.onTimer1Tick();
    rig.arrive(frame(3));

    EXPECT_EQ(rig.handled, (std::vector<Bytes> {frame(1), frame(3)}));
}

TEST(FrameSync, Timer1KeepsDiscardingWhileBytesKeepComingAndArmsOnTheFirstQuietTick)
{
    Rig rig;
    rig.sync.portOpened();
    for (int tick = 0; tick < 5; ++tick) {
        rig.arrive({0x68, 0x68, 0x01});
        rig.sync.onTimer1Tick();
        EXPECT_TRUE(rig.isResynchronising()) << "tick " << tick;
        EXPECT_TRUE(rig.port.waiting.empty()) << "tick " << tick;
    }
    EXPECT_EQ(rig.timer1.starts, 1) << "discarding must not restart the interval";

    rig.sync.onTimer1Tick();
    EXPECT_TRUE(rig.isListening());
    EXPECT_TRUE(rig.handled.empty());
}

TEST(FrameSync, WatchdogTickShowsNoDataAndKeepsTheLastReadingForTheNextFrame)
{
    Rig rig;
    rig.listen();
    rig.arrive(frame(1));

    rig.sync.onTimer2Tick();
    EXPECT_TRUE(rig.showsNoData());
    EXPECT_TRUE(rig.timer2.enabled) << "the watchdog keeps ticking";
    rig.sync.onTimer2Tick();
    EXPECT_TRUE(rig.showsNoData());
    EXPECT_TRUE(rig.isListening()) << "the watchdog does not touch the framing";

    rig.arrive(frame(2));
    EXPECT_TRUE(rig.showsDisplay());
    EXPECT_EQ(rig.handled.size(), 2U);
}

TEST(FrameSync, ReceiveEventsWithOtherCodesChangeNothing)
{
    // Send, CTS, DSR, CD, ring, EOF and the error events of the port.
    const std::array codes {0, 1, 3, 4, 5, 6, 7, 1001, 1002, 1004, 1006, 1008, 1009, -2};
    Rig rig;
    rig.listen();
    rig.port.waiting = frame(1);
    rig.log.clear();

    for (int code : codes)
        rig.sync.onComm(code);

    EXPECT_TRUE(rig.log.empty());
    EXPECT_EQ(rig.port.waiting, frame(1));
    EXPECT_TRUE(rig.showsNoData());
}

TEST(FrameSync, ResynchronisationEntryOnlyDisarmsAndEnablesTimer1)
{
    Rig rig;
    rig.listen();
    rig.arrive(frame(1));
    rig.port.waiting = {0x01, 0x02};
    rig.log.clear();

    rig.sync.resynchronise();
    EXPECT_EQ(rig.log, (Log {"threshold 0", "Timer1 enable"}));
    EXPECT_TRUE(rig.isResynchronising());
    EXPECT_TRUE(rig.showsDisplay());
    EXPECT_TRUE(rig.timer2.enabled);

    // Called again while resynchronising, the running interval is not restarted.
    rig.sync.resynchronise();
    EXPECT_EQ(rig.timer1.starts, 2);
}

TEST(FrameSync, BytesArrivingBetweenCountAndReadAreCutOffAfterByte16)
{
    Rig rig;
    rig.listen();
    rig.port.arrivingDuringRead = {0x68, 0x68, 0x00, 0x01, 0x02};

    rig.arrive(frame(5));

    EXPECT_EQ(rig.handled, std::vector<Bytes> {frame(5)});
    EXPECT_TRUE(rig.port.waiting.empty());
    EXPECT_TRUE(rig.isListening());
}

TEST(FrameSync, ReadShorterThanTheCountIsNeverFramedAndResynchronises)
{
    Rig rig;
    rig.listen();
    rig.port.lostOnRead = 3;

    rig.arrive(frame(5));

    EXPECT_TRUE(rig.handled.empty());
    EXPECT_TRUE(rig.isResynchronising());
    EXPECT_TRUE(rig.port.waiting.empty());
}

} // namespace
} // namespace clampmeter
