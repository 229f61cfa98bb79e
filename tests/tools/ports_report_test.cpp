// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table of clampmeter-cli ports on Windows: the serial device map's entries, the bridge's
// marked.

#include "ports_report.h"

#include <gtest/gtest.h>

namespace clampmeter::cli {
namespace {

TEST(PortsReport, TheDeviceMapsEntriesInColumnsWithTheBridgesMarked)
{
    const std::vector<SerialMapEntry> entries {
        {R"(\Device\Serial0)", "COM1"},
        {R"(\Device\silabser0)", "COM17"},
        {R"(\Device\VCP0)", "COM200"},
    };
    EXPECT_EQ(serialDeviceMapTable(entries, "COM17"),
        "PORT    DEVICE\n"
        "COM1    \\Device\\Serial0\n"
        "COM17   \\Device\\silabser0  <- the meter's bridge\n"
        "COM200  \\Device\\VCP0\n");
    // No bridge: nothing marked; a bridge registered under a port no entry has: likewise.
    for (const std::string bridge : {"", "COM9"})
        EXPECT_EQ(serialDeviceMapTable(entries, bridge).find("<-"), std::string::npos) << bridge;
    EXPECT_EQ(serialDeviceMapTable({}, ""), "No serial ports.\n");
}

} // namespace
} // namespace clampmeter::cli
