// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/capture_clock.h"
#include "platform/locale_charset.h"

#include <memory>

namespace clampmeter {

/// The machine's clock, written in the user's own date and time formats (the short date
/// and the time with seconds, as the desktop's regional settings give them), as UTF-8.
class SystemClock final : public CaptureClock {
public:
    SystemClock();
    CaptureTime now() override;

private:
    /// The character set the system writes dates and times in; null where it gives UTF-16.
    std::unique_ptr<LocaleCharset> m_timeCharset;
#ifndef _WIN32
    /// The strftime pattern of a reading's time, chosen once from the user's locale.
    const char* m_timePattern = "%T";
#endif
};

} // namespace clampmeter
