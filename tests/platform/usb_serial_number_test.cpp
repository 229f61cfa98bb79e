// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The bridge's USB serial number read from a sysfs tree laid out as Linux lays out a
// CP210x: the tty below the USB interface below the USB device that has the number.

#include "platform/usb_serial_number.h"

#include "../registry/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace clampmeter {
namespace {

namespace fs = std::filesystem;

class UsbSerialNumberTest : public ::testing::Test {
protected:
    /// sys/devices/…/1-1 (idVendor, serial) / 1-1:1.0 / NAME, and sys/class/tty/NAME/device
    /// linked to it as sysfs links it.
    void addTty(const std::string& name, const std::string& serial)
    {
        const fs::path usb = m_temp.path() / ("sys/devices/pci0000:00/usb1/1-" + name);
        const fs::path port = usb / "1-1:1.0" / name;
        fs::create_directories(port);
        std::ofstream(usb / "idVendor") << "10c4\n";
        if (!serial.empty())
            std::ofstream(usb / "serial") << serial << '\n';
        fs::create_directories(ttyClass() / name);
        fs::create_directory_symlink(port, ttyClass() / name / "device");
    }
    fs::path ttyClass() const { return m_temp.path() / "sys/class/tty"; }

    TempFolder m_temp;
};

TEST_F(UsbSerialNumberTest, TheNumberOfTheUsbDeviceAboveTheTty)
{
    addTty("ttyUSB0", "0001");
    addTty("ttyUSB1", "A9B3 ");
    EXPECT_EQ(usbSerialNumber(ttyClass(), "ttyUSB0"), "0001");
    EXPECT_EQ(usbSerialNumber(ttyClass(), "ttyUSB1"), "A9B3");
}

TEST_F(UsbSerialNumberTest, NothingForATtyWithoutOne)
{
    addTty("ttyUSB2", "");
    fs::create_directories(ttyClass() / "ttyS0");
    EXPECT_EQ(usbSerialNumber(ttyClass(), "ttyUSB2"), std::nullopt);
    EXPECT_EQ(usbSerialNumber(ttyClass(), "ttyS0"), std::nullopt);
    EXPECT_EQ(usbSerialNumber(ttyClass(), "ttyUSB9"), std::nullopt);
}

} // namespace
} // namespace clampmeter
