// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

namespace clampmeter {

/// Windows' own words for the calling thread's last error (GetLastError()), without the line
/// end the system adds: "There is not enough space on the disk.".
std::string lastWindowsErrorText();

} // namespace clampmeter
