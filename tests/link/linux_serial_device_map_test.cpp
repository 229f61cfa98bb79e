// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "link/bridge_lookup.h"
#include "platform/linux_serial_device_map.h"
#include "platform/serial_device_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace clampmeter {
namespace {

namespace fs = std::filesystem;

/// A throwaway /sys/class/tty: each tty is a folder whose device/driver link names its
/// driver, the way sysfs lays them out.
class FakeTtyTree : public testing::Test {
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path()
            / ("clampmeter-tty-" + std::to_string(std::random_device {}()));
        fs::create_directories(m_root / "drivers");
        fs::create_directories(m_root / "class-tty");
    }
    void TearDown() override { fs::remove_all(m_root); }

    void addTty(const std::string& name, const std::string& driver)
    {
        const fs::path device = m_root / "class-tty" / name / "device";
        fs::create_directories(device);
        fs::create_directories(m_root / "drivers" / driver);
        fs::create_directory_symlink(m_root / "drivers" / driver, device / "driver");
    }
    void addVirtualTty(const std::string& name)
    {
        fs::create_directories(m_root / "class-tty" / name);
    }

    fs::path ttyDir() const { return m_root / "class-tty"; }

    BridgeLookup lookUp()
    {
        LinuxSerialDeviceMap map(ttyDir(), "/dev");
        return lookUpBridge(map);
    }

private:
    fs::path m_root;
};

TEST_F(FakeTtyTree, FirstBridgeInNaturalOrderIsTheRegisteredPort)
{
    addTty("ttyUSB10", "cp210x");
    addTty("ttyUSB2", "cp210x");
    addTty("ttyUSB1", "ftdi_sio");
    addTty("ttyS0", "serial8250");
    addTty("ttyACM0", "cdc_acm");
    addVirtualTty("tty0");

    LinuxSerialDeviceMap map(ttyDir(), "/dev");
    ASSERT_TRUE(map.openKey());
    EXPECT_EQ(map.bridges(), (std::vector<std::string> {"ttyUSB2", "ttyUSB10"}));
    map.closeKey();

    const BridgeLookup result = lookUp();
    EXPECT_EQ(result.status, BridgeLookupStatus::Found);
    EXPECT_EQ(result.portName, "/dev/ttyUSB2");
}

TEST_F(FakeTtyTree, OnlyOtherDriversMeansNoBridge)
{
    addTty("ttyUSB0", "ftdi_sio");
    addTty("ttyS0", "serial8250");
    addTty("ttyUSB1", "cp210x_not");
    EXPECT_EQ(lookUp().status, BridgeLookupStatus::NoBridge);
}

TEST_F(FakeTtyTree, SecondValueNameNeverExists)
{
    addTty("ttyUSB0", "cp210x");
    LinuxSerialDeviceMap map(ttyDir(), "/dev");
    ASSERT_TRUE(map.openKey());
    std::array<char, kPortNameBufferSize> buffer {};
    std::uint32_t length = buffer.size();
    EXPECT_FALSE(map.queryValue(kBridgeAltValueName, buffer, length));
    EXPECT_TRUE(map.queryValue(kBridgeValueName, buffer, length));
    EXPECT_EQ(std::string(buffer.data()), "/dev/ttyUSB0");
    EXPECT_EQ(length, 13U);
}

TEST_F(FakeTtyTree, DevicePathOverNinetyNineBytesIsUnreadable)
{
    const std::string longName(95, 'u'); // "/dev/" + 95 = 100 bytes, no room for the terminator
    addTty(longName, "cp210x");
    EXPECT_EQ(lookUp().status, BridgeLookupStatus::NoBridge);
}

TEST_F(FakeTtyTree, MissingOrNonFolderTtyClassIsUnreadable)
{
    LinuxSerialDeviceMap missing(ttyDir() / "nope", "/dev");
    EXPECT_EQ(lookUpBridge(missing).status, BridgeLookupStatus::MapUnreadable);

    const fs::path file = ttyDir() / "plain-file";
    std::ofstream(file) << "x";
    LinuxSerialDeviceMap notAFolder(file, "/dev");
    EXPECT_EQ(lookUpBridge(notAFolder).status, BridgeLookupStatus::MapUnreadable);
}

TEST(NaturalOrder, ComparesDigitRunsByValue)
{
    std::vector<std::string> names {
        "ttyUSB10", "ttyUSB2", "ttyUSB1", "ttyACM0", "ttyUSB02", "ttyUSB", "ttyUSB100", "ttyS0"};
    std::sort(
        names.begin(), names.end(), [](const auto& a, const auto& b) { return naturalLess(a, b); });
    EXPECT_EQ(names,
        (std::vector<std::string> {"ttyACM0", "ttyS0", "ttyUSB", "ttyUSB1", "ttyUSB2", "ttyUSB02",
            "ttyUSB10", "ttyUSB100"}));
    EXPECT_FALSE(naturalLess("ttyUSB2", "ttyUSB2"));
}

} // namespace
} // namespace clampmeter
