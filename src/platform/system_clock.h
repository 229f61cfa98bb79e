// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/capture_clock.h"

namespace clampmeter {

/// The machine's clock, written in the user's own date and time formats (the short date
/// and the time with seconds, as the desktop's regional settings give them).
class SystemClock final : public CaptureClock {
public:
    SystemClock();
    CaptureTime now() override;
};

} // namespace clampmeter
