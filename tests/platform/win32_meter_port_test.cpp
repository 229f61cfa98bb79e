// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The meter's port through the Win32 serial API, on a real COM port: its far end is another
// COM port this test writes to (scripts/windows-test joins two of wine's COM ports through a
// pair of pseudo-terminals for this).

#include "platform/serial_link.h"
#include "platform/win32_meter_port.h"

#include "under_wine.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

namespace clampmeter {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kEventTimeoutMs = 3000;

Bytes frame(std::uint8_t number)
{
    // Voltage function, 229.9 V and 50 Hz; byte 4 tells frames apart.
    return {0x68, 0x68, 0x00, 0x01, number, 0x00, 0x01, 0x66, 0xE6, 0x65, 0x43, 0x00, 0x00, 0x48,
        0x42, 0x00, 0x00};
}

/// The far end of the line: a COM port opened for plain writing.
class FarEnd {
public:
    explicit FarEnd(const std::string& port)
        : m_handle(CreateFileA(
            ("\\\\.\\" + port).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    FarEnd(const FarEnd&) = delete;
    FarEnd& operator=(const FarEnd&) = delete;
    ~FarEnd()
    {
        if (isOpen())
            CloseHandle(m_handle);
    }

    bool isOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    bool write(const Bytes& bytes)
    {
        DWORD written = 0;
        return WriteFile(
                   m_handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
            && written == bytes.size();
    }

private:
    HANDLE m_handle;
};

class RecordingPanels final : public LinkPanels {
public:
    void setDisplayPanelVisible(bool visible) override { display = visible; }
    void setNoDataPanelVisible(bool) override { }
    bool display = false;
};

class Win32PortOnALine : public testing::Test {
protected:
    void SetUp() override
    {
        const char* lineName = std::getenv("CLAMPMETER_TEST_LINE_PORT");
        const char* farName = std::getenv("CLAMPMETER_TEST_LINE_FAR_END");
        if (lineName == nullptr || farName == nullptr)
            GTEST_SKIP() << "needs two COM ports joined as a line (CLAMPMETER_TEST_LINE_PORT, "
                            "CLAMPMETER_TEST_LINE_FAR_END)";
        portName = QString::fromLatin1(lineName);
        farEnd.emplace(farName);
        ASSERT_TRUE(farEnd->isOpen()) << "cannot open " << farName;
    }

    /// Writes and waits until the port holds `count` bytes.
    void sendAndWaitFor(const Bytes& bytes, std::size_t count)
    {
        ASSERT_TRUE(farEnd->write(bytes));
        ASSERT_TRUE(QTest::qWaitFor([&] { return port.InBufferCount() >= count; }, kEventTimeoutMs))
            << port.InBufferCount() << " of " << count << " bytes came";
    }

    QString portName;
    std::optional<FarEnd> farEnd;
    Win32MeterPort port;
};

TEST_F(Win32PortOnALine, OpensWithTheMetersLineSettingsAsTheDriverHoldsThem)
{
    ASSERT_TRUE(port.open(portName).ok());
    EXPECT_TRUE(port.isOpen());

    const Win32LineSettings line = port.lineSettings();
    EXPECT_EQ(line.baudRate, 2400U);
    EXPECT_EQ(line.dataBits, 8);
    EXPECT_FALSE(line.parity);
    EXPECT_TRUE(line.oneStopBit);
    EXPECT_FALSE(line.flowControl);

    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.lineSettings().baudRate, 0U);
}

TEST_F(Win32PortOnALine, TheReceiveEventWaitsForTheThresholdAcrossSingleBytes)
{
    ASSERT_TRUE(port.open(portName).ok());
    port.setRThreshold(17);
    QSignalSpy received(&port, &MeterPort::received);
    const Bytes whole = frame(7);

    for (std::size_t i = 0; i + 1 < whole.size(); ++i)
        sendAndWaitFor({whole[i]}, i + 1);
    EXPECT_EQ(received.count(), 0);
    sendAndWaitFor({whole.back()}, whole.size());

    EXPECT_TRUE(QTest::qWaitFor([&] { return received.count() == 1; }, kEventTimeoutMs));
    EXPECT_EQ(port.Input(), whole);
    EXPECT_EQ(port.InBufferCount(), 0U);
}

TEST_F(Win32PortOnALine, NoReceiveEventWhileDisarmed)
{
    ASSERT_TRUE(port.open(portName).ok());
    QSignalSpy received(&port, &MeterPort::received);
    sendAndWaitFor(frame(1), 17);
    EXPECT_EQ(received.count(), 0);
}

TEST_F(Win32PortOnALine, DiscardedBytesAreGoneAndLaterOnesStillCome)
{
    ASSERT_TRUE(port.open(portName).ok());
    sendAndWaitFor({1, 2, 3, 4, 5}, 5);

    port.discardInBuffer();
    EXPECT_EQ(port.InBufferCount(), 0U);
    sendAndWaitFor({6, 7, 8}, 3);
    EXPECT_EQ(port.Input(), (Bytes {6, 7, 8}));
}

TEST_F(Win32PortOnALine, AReopenedPortStartsEmpty)
{
    ASSERT_TRUE(port.open(portName).ok());
    sendAndWaitFor({1, 2, 3}, 3);
    port.close();
    EXPECT_EQ(port.InBufferCount(), 0U);
    EXPECT_TRUE(port.Input().empty());

    ASSERT_TRUE(port.open(portName).ok());
    sendAndWaitFor({4}, 1);
    EXPECT_EQ(port.Input(), Bytes {4});
}

TEST_F(Win32PortOnALine, TheLinkHandlesEachFrameOnceInOrder)
{
    RecordingPanels panels;
    std::vector<Bytes> handled;
    SerialLink link(
        panels, [&](FrameBytes bytes) { handled.emplace_back(bytes.begin(), bytes.end()); });
    ASSERT_TRUE(link.open(portName).ok());
    link.portOpened();
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.isListening(); }, kEventTimeoutMs));

    for (std::uint8_t n = 1; n <= 3; ++n) {
        ASSERT_TRUE(farEnd->write(frame(n)));
        ASSERT_TRUE(QTest::qWaitFor([&] { return handled.size() == n; }, kEventTimeoutMs));
        QTest::qWait(60);
    }
    EXPECT_EQ(handled, (std::vector<Bytes> {frame(1), frame(2), frame(3)}));
    EXPECT_TRUE(panels.display);
}

TEST(Win32MeterPort, AMissingPortIsNotFound)
{
    Win32MeterPort port;
    const PortOpenResult missing = port.open(QStringLiteral("COM250"));
    EXPECT_EQ(missing.error, PortOpenError::NotFound);
    EXPECT_FALSE(missing.reason.empty());
    EXPECT_FALSE(port.isOpen());
}

TEST_F(Win32PortOnALine, APortAnotherProgramHoldsIsInUse)
{
    if (test::runningUnderWine())
        GTEST_SKIP() << "wine opens a COM port any number of times; Windows once";
    Win32MeterPort first;
    ASSERT_TRUE(first.open(portName).ok());
    const PortOpenResult held = port.open(portName);
    EXPECT_EQ(held.error, PortOpenError::InUse) << held.reason;
    EXPECT_FALSE(port.isOpen());
}

} // namespace
} // namespace clampmeter
