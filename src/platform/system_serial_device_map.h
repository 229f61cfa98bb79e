// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/serial_device_map.h"

#include <memory>

namespace clampmeter {

/// The serial device map of the machine the program runs on.
std::unique_ptr<SerialDeviceMap> makeSystemSerialDeviceMap();

} // namespace clampmeter
