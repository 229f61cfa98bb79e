// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/meter_port.h"

#include <memory>

namespace clampmeter {

/// A closed serial port of the system the program runs on.
std::unique_ptr<MeterPort> makeSystemMeterPort();

} // namespace clampmeter
