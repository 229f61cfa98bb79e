// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Stop requests on Windows: Ctrl+C, Ctrl+Break and closing the console reach a console
// control handler, which runs on a thread of its own, raises the flag and sets the wake event.

#include "platform/stop_signals.h"

#include "platform/windows_error_text.h"

#include <windows.h>

#include <atomic>

namespace clampmeter {
namespace {

std::atomic<bool> g_stopRequested {false};
// The wake event, or null. Set before the handler is installed.
std::atomic<HANDLE> g_wakeEvent {nullptr};

BOOL WINAPI requestStop(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
        g_stopRequested.store(true);
        if (const HANDLE wake = g_wakeEvent.load(); wake != nullptr)
            SetEvent(wake);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

StopSignals::StopSignals()
{
    g_stopRequested.store(false);
    // Manual reset: it stays set once a stop is requested.
    m_wakeEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (m_wakeEvent == nullptr)
        m_wakeFailure = lastWindowsErrorText();
    g_wakeEvent.store(static_cast<HANDLE>(m_wakeEvent));
    SetConsoleCtrlHandler(requestStop, TRUE);
}

StopSignals::~StopSignals()
{
    SetConsoleCtrlHandler(requestStop, FALSE);
    g_wakeEvent.store(nullptr);
    if (m_wakeEvent != nullptr)
        CloseHandle(static_cast<HANDLE>(m_wakeEvent));
}

bool StopSignals::stopRequested() const
{
    return g_stopRequested.load();
}

} // namespace clampmeter
