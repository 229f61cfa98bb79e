// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/windows_error_text.h"

#include <windows.h>

#include <array>

namespace clampmeter {

std::string lastWindowsErrorText()
{
    const DWORD code = GetLastError();
    std::array<char, 256> text {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, text.data(), static_cast<DWORD>(text.size()), nullptr);
    std::string reason(text.data(), length);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r'))
        reason.pop_back();
    return reason.empty() ? "error " + std::to_string(code) : reason;
}

} // namespace clampmeter
