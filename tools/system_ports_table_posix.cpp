// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "system_ports_table.h"

#include "ports_report.h"

namespace clampmeter::cli {

std::string systemPortsTable(const std::string& bridgePort)
{
    const auto devices = listSerialDevices();
    return devices ? serialDeviceTable(*devices, bridgePort)
                   : std::string("The list of serial devices cannot be read.\n");
}

} // namespace clampmeter::cli
