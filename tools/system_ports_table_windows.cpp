// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "system_ports_table.h"

#include "platform/windows_serial_device_map.h"
#include "ports_report.h"

namespace clampmeter::cli {

std::string systemPortsTable(const std::string& bridgePort)
{
    const auto entries = listSerialDeviceMap();
    return entries ? serialDeviceMapTable(*entries, bridgePort)
                   : std::string("The serial device map (HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\"
                                 "SERIALCOMM) cannot be read.\n");
}

} // namespace clampmeter::cli
