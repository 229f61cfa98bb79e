// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The whole road of a reading: simulated meter → pseudo-terminal → QSerialPort → framing
// → main panel labels → record store, and what the panel does when the line goes dead.

#include "app/form1.h"
#include "link/static_serial_device_map.h"
#include "platform/pseudo_terminal.h"
#include "simulator/frame_encoder.h"
#include "simulator/meter_simulator.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace clampmeter {
namespace {

class FixedClock final : public CaptureClock {
public:
    CaptureTime now() override { return {"2024-05-01", "14:03:07"}; }
};

// Generous: the sanitizers slow everything down, and a pass never waits these out.
constexpr int kEventTimeoutMs = 3000;
constexpr int kQuietGapMs = 120; // more than two 50 ms resynchronisation ticks

class LiveLink : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.has_value());
        map.emplace(
            StaticSerialDeviceMap::Values {{std::string(kBridgeValueName), pty->slavePath()}});
        form = std::make_unique<Form1>(Form1::Services {*vars, *map, clock,
            [](const QString&, const QString& text) { ADD_FAILURE() << text.toStdString(); }});
        ASSERT_TRUE(form->load());
        form->show();
        QTest::qWait(kQuietGapMs);
    }

    QString caption(const char* name) const
    {
        return form->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    bool displayShown() const { return form->findChild<QWidget*>("Picture1")->isVisible(); }
    bool noDataShown() const { return form->findChild<QWidget*>("Picture3")->isVisible(); }

    /// Sends bytes as one burst, then keeps the line quiet until the count of records
    /// reaches `expectedCount` (or the time runs out).
    void sendBurst(std::span<const std::uint8_t> bytes, int expectedCount)
    {
        ASSERT_TRUE(pty->write(bytes));
        (void)QTest::qWaitFor([&] { return vars->DataCount >= expectedCount; }, kEventTimeoutMs);
        QTest::qWait(kQuietGapMs);
        ASSERT_EQ(vars->DataCount, expectedCount);
    }

    std::optional<PseudoTerminal> pty = PseudoTerminal::open();
    std::optional<StaticSerialDeviceMap> map;
    std::unique_ptr<VarModule> vars = std::make_unique<VarModule>();
    FixedClock clock;
    std::unique_ptr<Form1> form;
};

TEST_F(LiveLink, SimulatedFramesReachThePanelAndTheStore)
{
    EXPECT_TRUE(noDataShown());
    EXPECT_FALSE(displayShown());

    const EncodedFrame first = encodeFrame(
        {.phase = 2, .number = 5, .functionCode = 1, .mainValue = 229.9F, .secondaryValue = 50.0F});
    sendBurst(first, 1);

    EXPECT_TRUE(displayShown());
    EXPECT_FALSE(noDataShown());
    EXPECT_EQ(caption("MainDataLabel"), "229.8");
    EXPECT_EQ(caption("SlaveDataLabel"), "50");
    EXPECT_EQ(caption("Label7"), "v");
    EXPECT_EQ(caption("Label12"), "@2");
    EXPECT_EQ(form->dialPicture(), 2);
    EXPECT_EQ(vars->DataRecords[0].DataText, "229.8");
    EXPECT_EQ(vars->DataRecords[0].StampText, "2024-05-01\\14:03:07");

    MeterSimulator meter(SimulatorSettings {SimulatorScenario::Aac, 7, {}});
    for (int n = 2; n <= 4; ++n) {
        const SimulatedBurst burst = meter.next();
        sendBurst(burst.bytes, n);
        const DataRecord& newest = vars->DataRecords[static_cast<std::size_t>(n - 1)];
        EXPECT_EQ(newest.No, n);
        EXPECT_EQ(newest.FunText, "FUN_AAC");
        EXPECT_EQ(caption("MainDataLabel").toStdString(), newest.DataText);
    }
    EXPECT_EQ(caption("Label7"), "A");
    EXPECT_EQ(form->dialPicture(), 3);
}

TEST_F(LiveLink, BackToBackFramesAndWrongHeadersStoreNothing)
{
    MeterSimulator meter(SimulatorSettings {SimulatorScenario::Vac, 3, {}});
    sendBurst(meter.fault(StreamFault::BackToBack).bytes, 0);
    sendBurst(meter.fault(StreamFault::WrongHeader).bytes, 0);
    EXPECT_EQ(caption("MainDataLabel"), "000.0");
    sendBurst(meter.next().bytes, 1);
    EXPECT_EQ(vars->DataRecords[0].FunText, "FUN_VAC");

    // Stray bytes stay waiting below the threshold, so the frame after them makes a batch
    // of the wrong size and is thrown away with them; the one after that counts again.
    sendBurst(meter.fault(StreamFault::StrayBytes).bytes, 1);
    sendBurst(meter.next().bytes, 1);
    sendBurst(meter.next().bytes, 2);
}

TEST_F(LiveLink, AfterAHangUpTheBridgeIsLookedForAgainAndReadingsGoOnIntoTheSameLog)
{
    sendBurst(encodeFrame({.functionCode = 2, .mainValue = 12.5F, .secondaryValue = 230.0F}), 1);
    ASSERT_TRUE(displayShown());

    // Pulled: the line hangs up and the device leaves the map, as a real one's node goes. A
    // name left behind would soon be another program's new pseudo-terminal.
    pty->hangUp();
    map->removeValue(std::string(kBridgeValueName));

    // Within the watchdog's two seconds the panel stays; after them "NO DATA" is up.
    QTest::qWait(1500);
    EXPECT_TRUE(displayShown());
    EXPECT_TRUE(QTest::qWaitFor([&] { return noDataShown(); }, kEventTimeoutMs));
    EXPECT_FALSE(displayShown());
    EXPECT_EQ(caption("MainDataLabel"), "12.5") << "the last reading stays underneath";
    EXPECT_TRUE(form->isVisible()) << "the program keeps running";
    const int looksSoFar = map->openCount();
    EXPECT_GE(looksSoFar, 2) << "the bridge was not looked for again";
    QTest::qWait(2100);
    EXPECT_GE(map->openCount(), looksSoFar + 1) << "it is looked for every second";
    EXPECT_LE(map->openCount(), looksSoFar + 3) << "more than once a second";

    // Plugged in again, here as the line of a new pseudo-terminal under the same name.
    std::optional<PseudoTerminal> again = PseudoTerminal::open();
    ASSERT_TRUE(again.has_value());
    map->setValue(std::string(kBridgeValueName), again->slavePath());
    pty = std::move(again);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pty->unreadBytes() == 0; }, kEventTimeoutMs));
    QTest::qWait(1500); // opened, and its first quiet tick
    sendBurst(encodeFrame({.functionCode = 1, .mainValue = 229.9F}), 2);
    EXPECT_TRUE(displayShown());
    EXPECT_EQ(caption("MainDataLabel"), "229.8");
    EXPECT_EQ(vars->DataRecords[0].DataText, "12.5") << "the log went on, not afresh";
}

} // namespace
} // namespace clampmeter
