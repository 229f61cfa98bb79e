// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The demo's meter as a port of the program's own (the Windows demo's line).

#include "app/simulated_meter_port.h"
#include "platform/serial_link.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

namespace clampmeter {
namespace {

SimulatorSettings everyTwoHundredMs()
{
    SimulatorSettings settings;
    settings.scenario = SimulatorScenario::Vac;
    settings.interval = std::chrono::milliseconds(200);
    return settings;
}

TEST(SimulatedMeterPort, OpensUnderItsOwnNameOnly)
{
    SimulatedMeterPort port(everyTwoHundredMs());
    const PortOpenResult other = port.open(QStringLiteral("COM3"));
    EXPECT_EQ(other.error, PortOpenError::NotFound);
    EXPECT_FALSE(port.isOpen());

    EXPECT_TRUE(port.open(SimulatedMeterPort::kPortName).ok());
    EXPECT_TRUE(port.isOpen());
}

TEST(SimulatedMeterPort, SendsTheSimulatorsFramesAtTheMetersPace)
{
    SimulatedMeterPort port(everyTwoHundredMs());
    port.setRThreshold(17);
    QSignalSpy received(&port, &MeterPort::received);
    ASSERT_TRUE(port.open(SimulatedMeterPort::kPortName).ok());

    ASSERT_TRUE(received.wait(2000));
    const std::vector<std::uint8_t> first = port.Input();
    ASSERT_EQ(first.size(), 17U);
    EXPECT_EQ(first[0], 0x68);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(received.wait(2000));
    // 17 bytes take 71 ms at 2400 baud, then the 200 ms gap.
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_EQ(port.Input().size(), 17U);
}

TEST(SimulatedMeterPort, AClosedPortSendsNothing)
{
    SimulatedMeterPort port(everyTwoHundredMs());
    port.setRThreshold(17);
    QSignalSpy received(&port, &MeterPort::received);
    ASSERT_TRUE(port.open(SimulatedMeterPort::kPortName).ok());
    ASSERT_TRUE(received.wait(2000));
    port.close();
    EXPECT_EQ(port.InBufferCount(), 0U);
    QTest::qWait(600);
    EXPECT_EQ(port.InBufferCount(), 0U);
    EXPECT_EQ(received.count(), 1);
}

TEST(SimulatedMeterPort, TheProgramsLinkReadsItsFrames)
{
    class Panels final : public LinkPanels {
    public:
        void setDisplayPanelVisible(bool) override { }
        void setNoDataPanelVisible(bool) override { }
    } panels;
    int frames = 0;
    SerialLink link(
        panels, [&](FrameBytes) { ++frames; }, nullptr,
        std::make_unique<SimulatedMeterPort>(everyTwoHundredMs()));
    ASSERT_TRUE(link.open(SimulatedMeterPort::kPortName).ok());
    link.portOpened();
    EXPECT_TRUE(QTest::qWaitFor([&] { return frames >= 2; }, 5000));
}

} // namespace
} // namespace clampmeter
