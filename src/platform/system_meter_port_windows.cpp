// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/system_meter_port.h"

#include "platform/win32_meter_port.h"

namespace clampmeter {

std::unique_ptr<MeterPort> makeSystemMeterPort()
{
    return std::make_unique<Win32MeterPort>();
}

} // namespace clampmeter
