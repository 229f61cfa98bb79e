// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/pseudo_terminal.h"
#include "platform/serial_link.h"

#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace clampmeter {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes frame(std::uint8_t number)
{
    // Voltage function, 229.9 V and 50 Hz; byte 4 tells frames apart.
    return {0x68, 0x68, 0x00, 0x01, number, 0x00, 0x01, 0x66, 0xE6, 0x65, 0x43, 0x00, 0x00, 0x48,
        0x42, 0x00, 0x00};
}

class RecordingPanels final : public LinkPanels {
public:
    void setDisplayPanelVisible(bool visible) override { display = visible; }
    void setNoDataPanelVisible(bool visible) override { noData = visible; }

    bool showsNoData() const { return noData && !display; }
    bool showsDisplay() const { return display && !noData; }

    bool display = false;
    bool noData = true;
};

// Generous limits: the sanitizers slow everything down, and a pass never waits them out.
constexpr int kEventTimeoutMs = 2000;
constexpr int kWatchdogTimeoutMs = 4000;

// A SerialLink on the slave side of a fresh pseudo-terminal, the test writing to the master.
class SerialLinkOnPty : public testing::Test {
protected:
    void SetUp() override
    {
        pty = PseudoTerminal::open();
        ASSERT_TRUE(pty.has_value());
        link.emplace(
            panels, [this](FrameBytes bytes) { handled.emplace_back(bytes.begin(), bytes.end()); });
        const PortOpenResult opened = link->open(QString::fromStdString(pty->slavePath()));
        ASSERT_TRUE(opened.ok()) << opened.reason;
        link->portOpened();
    }

    void waitUntilListening()
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return link->isListening(); }, kEventTimeoutMs));
    }
    void send(const Bytes& bytes) { ASSERT_TRUE(pty->write(bytes)); }
    void sendAndWaitForHandling(const Bytes& bytes)
    {
        const std::size_t before = handled.size();
        send(bytes);
        ASSERT_TRUE(QTest::qWaitFor([&] { return handled.size() > before; }, kEventTimeoutMs));
    }

    std::optional<PseudoTerminal> pty;
    RecordingPanels panels;
    std::vector<Bytes> handled;
    std::optional<SerialLink> link;
};

TEST_F(SerialLinkOnPty, OpensReadOnlyWithTheMetersLineSettings)
{
    const auto* port = link->findChild<QSerialPort*>();
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->openMode(), QIODevice::ReadOnly);
    EXPECT_EQ(port->baudRate(), 2400);
    EXPECT_EQ(port->dataBits(), QSerialPort::Data8);
    EXPECT_EQ(port->parity(), QSerialPort::NoParity);
    EXPECT_EQ(port->stopBits(), QSerialPort::OneStop);
    EXPECT_EQ(port->flowControl(), QSerialPort::NoFlowControl);
}

TEST_F(SerialLinkOnPty, WholeFramesWithPausesAreEachHandledOnceInOrder)
{
    waitUntilListening();
    EXPECT_TRUE(panels.showsNoData());
    for (std::uint8_t n = 1; n <= 3; ++n) {
        sendAndWaitForHandling(frame(n));
        QTest::qWait(30);
    }

    EXPECT_EQ(handled, (std::vector<Bytes> {frame(1), frame(2), frame(3)}));
    EXPECT_TRUE(panels.showsDisplay());
    EXPECT_TRUE(link->isListening());
}

TEST_F(SerialLinkOnPty, BytesArrivingOneByOneMakeOneFrame)
{
    waitUntilListening();
    const Bytes whole = frame(4);
    for (std::uint8_t b : whole) {
        EXPECT_TRUE(handled.empty());
        send({b});
        QTest::qWait(4); // about one byte time at 2400 baud
    }
    ASSERT_TRUE(QTest::qWaitFor([this] { return !handled.empty(); }, kEventTimeoutMs));

    EXPECT_EQ(handled, std::vector<Bytes> {whole});
}

TEST_F(SerialLinkOnPty, TwoFramesBackToBackAreBothDiscarded)
{
    waitUntilListening();
    Bytes two = frame(1);
    const Bytes second = frame(2);
    two.insert(two.end(), second.begin(), second.end());

    send(two);
    QTest::qWait(150);
    EXPECT_TRUE(handled.empty());
    EXPECT_TRUE(panels.showsNoData());
    EXPECT_TRUE(link->isListening());

    sendAndWaitForHandling(frame(3));
    EXPECT_EQ(handled, std::vector<Bytes> {frame(3)});
}

TEST_F(SerialLinkOnPty, BytesBeforeTheFirstQuietTickAreNeverFramed)
{
    // Sent before Timer1 armed the port: no receive event, and the tick throws them away.
    send(frame(1));
    waitUntilListening();
    QTest::qWait(30);
    EXPECT_TRUE(handled.empty());

    sendAndWaitForHandling(frame(2));
    EXPECT_EQ(handled, std::vector<Bytes> {frame(2)});
}

TEST_F(SerialLinkOnPty, WrongHeaderResynchronisesAndTheNextFrameAfterAQuietGapIsHandled)
{
    waitUntilListening();
    Bytes bad = frame(1);
    bad[1] = 0x00;

    send(bad);
    ASSERT_TRUE(QTest::qWaitFor([this] { return panels.showsDisplay(); }, kEventTimeoutMs));
    EXPECT_FALSE(link->isListening());
    EXPECT_TRUE(handled.empty());

    waitUntilListening();
    sendAndWaitForHandling(frame(2));
    EXPECT_EQ(handled, std::vector<Bytes> {frame(2)});
}

TEST_F(SerialLinkOnPty, HangUpClosesThePortOnceAndNoDataFollows)
{
    waitUntilListening();
    sendAndWaitForHandling(frame(1));
    auto* port = link->findChild<QSerialPort*>();
    ASSERT_NE(port, nullptr);
    QSignalSpy errors(port, &QSerialPort::errorOccurred);

    pty->hangUp();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !link->isOpen(); }, kEventTimeoutMs));
    QTest::qWait(300);

    // Left open, the port repeats its read error hundreds of thousands of times here.
    EXPECT_LE(errors.count(), 2);
    EXPECT_TRUE(panels.showsDisplay()) << "the last reading stays up until the watchdog runs out";
    EXPECT_TRUE(QTest::qWaitFor([this] { return panels.showsNoData(); }, kWatchdogTimeoutMs));
    EXPECT_EQ(handled.size(), 1U);
}

TEST_F(SerialLinkOnPty, HangUpIsReportedOnceAndTheLinkReadsAnotherLineOnceReopened)
{
    waitUntilListening();
    sendAndWaitForHandling(frame(1));
    QSignalSpy lost(&*link, &SerialLink::portLost);

    pty->hangUp();
    ASSERT_TRUE(lost.wait(kEventTimeoutMs));
    QTest::qWait(300);
    EXPECT_EQ(lost.count(), 1);
    EXPECT_FALSE(link->isOpen());

    std::optional<PseudoTerminal> next = PseudoTerminal::open();
    ASSERT_TRUE(next.has_value());
    const PortOpenResult reopened = link->open(QString::fromStdString(next->slavePath()));
    ASSERT_TRUE(reopened.ok()) << reopened.reason;
    link->resynchronise();
    waitUntilListening();
    ASSERT_TRUE(next->write(frame(2)));
    ASSERT_TRUE(QTest::qWaitFor([this] { return handled.size() == 2; }, kEventTimeoutMs));
    EXPECT_EQ(handled.back(), frame(2));
    EXPECT_EQ(lost.count(), 1);
}

} // namespace
} // namespace clampmeter
