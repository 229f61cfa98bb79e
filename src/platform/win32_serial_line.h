// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <string_view>

namespace clampmeter {

/// "COM17" becomes "\\.\COM17", the form that reaches every port number; a name that already
/// is a device path stays as it is.
std::string win32DevicePath(std::string_view portName);

/// Sets the open serial port `handle` (a Win32 HANDLE) to the meter's line: 2400 baud, 8 data
/// bits, no parity, one stop bit, no handshake, binary, with DTR and RTS up as they are when
/// a port opens. False when the driver refuses; GetLastError() tells why.
bool setMeterLine(void* handle);

} // namespace clampmeter
