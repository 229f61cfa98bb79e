// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Stop requests on Windows: Ctrl+C, Ctrl+Break and closing the console reach a console
// control handler, which runs on a thread of its own and only raises the flag.

#include "stop_signals.h"

#include <windows.h>

#include <atomic>

namespace clampmeter::cli {
namespace {

std::atomic<bool> g_stopRequested {false};

BOOL WINAPI requestStop(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
        g_stopRequested.store(true);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

StopSignals::StopSignals()
{
    g_stopRequested.store(false);
    SetConsoleCtrlHandler(requestStop, TRUE);
}

StopSignals::~StopSignals()
{
    SetConsoleCtrlHandler(requestStop, FALSE);
}

bool StopSignals::stopRequested() const
{
    return g_stopRequested.load();
}

} // namespace clampmeter::cli
