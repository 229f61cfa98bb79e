// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

namespace clampmeter {

/// Date and time of one instant, as the user's settings write them.
struct CaptureTime {
    std::string date; ///< the user's short date format
    std::string time; ///< the user's time format, with seconds
};

/// Where a captured reading gets its date and time; tests fix it.
class CaptureClock {
public:
    CaptureClock() = default;
    CaptureClock(const CaptureClock&) = delete;
    CaptureClock& operator=(const CaptureClock&) = delete;
    virtual ~CaptureClock() = default;

    /// Both texts are taken from the same instant, so a reading received at midnight never
    /// gets the old day's date with the new day's time.
    virtual CaptureTime now() = 0;
};

} // namespace clampmeter
