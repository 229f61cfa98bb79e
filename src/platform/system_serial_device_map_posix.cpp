// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/system_serial_device_map.h"

#include "platform/linux_serial_device_map.h"

namespace clampmeter {

std::unique_ptr<SerialDeviceMap> makeSystemSerialDeviceMap()
{
    return std::make_unique<LinuxSerialDeviceMap>();
}

} // namespace clampmeter
