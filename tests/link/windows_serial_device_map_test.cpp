// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The serial device map in the registry, read as the program reads it. The entries come from
// outside (scripts/windows-test adds them with `reg add`, as a driver would): a test program
// must not change HKEY_LOCAL_MACHINE\HARDWARE, which needs an administrator on Windows.

#include "link/bridge_lookup.h"
#include "platform/system_serial_device_map.h"
#include "platform/windows_serial_device_map.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>

namespace clampmeter {
namespace {

// Added by scripts/windows-test under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM.
constexpr std::string_view kBridgePort = "COM17";
constexpr std::string_view kOtherValueName = R"(\Device\clampmeterTest1)";
constexpr std::string_view kOtherPort = "COM3";

class WindowsSerialDeviceMapTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (std::getenv("CLAMPMETER_TEST_SERIALCOMM") == nullptr)
            GTEST_SKIP() << "the test entries are added by scripts/windows-test "
                            "(CLAMPMETER_TEST_SERIALCOMM unset)";
        ASSERT_TRUE(m_map.openKey());
    }
    void TearDown() override { m_map.closeKey(); }

    WindowsSerialDeviceMap m_map;
};

TEST_F(WindowsSerialDeviceMapTest, GivesTheRegisteredPortWithItsTerminator)
{
    std::array<char, kPortNameBufferSize> buffer {};
    std::uint32_t length = 0;
    ASSERT_TRUE(m_map.queryValue(kOtherValueName, buffer, length));
    EXPECT_EQ(length, kOtherPort.size() + 1);
    EXPECT_EQ(std::string(buffer.data()), kOtherPort);
}

TEST_F(WindowsSerialDeviceMapTest, RefusesAMissingNameAndANameThatDoesNotFit)
{
    std::array<char, kPortNameBufferSize> buffer {};
    std::uint32_t length = 0;
    EXPECT_FALSE(m_map.queryValue(R"(\Device\clampmeterNoSuchDevice)", buffer, length));
    std::array<char, 3> tooSmall {};
    EXPECT_FALSE(m_map.queryValue(kOtherValueName, tooSmall, length));
}

TEST_F(WindowsSerialDeviceMapTest, TheSystemsLookupFindsAPortPastCom16AndOpensItByItsOwnName)
{
    const auto systemMap = makeSystemSerialDeviceMap();
    const BridgeLookup lookup = lookUpBridge(*systemMap);
    ASSERT_EQ(lookup.status, BridgeLookupStatus::Found);
    EXPECT_EQ(lookup.portName, kBridgePort);
}

} // namespace
} // namespace clampmeter
