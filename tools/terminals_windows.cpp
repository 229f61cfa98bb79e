// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "terminals.h"

#include <windows.h>

namespace clampmeter::cli {

namespace {

// Consoles and serial ports are character devices; files and pipes are not.
bool isCharacterDevice(HANDLE handle)
{
    return handle != nullptr && handle != INVALID_HANDLE_VALUE
        && GetFileType(handle) == FILE_TYPE_CHAR;
}

} // namespace

bool standardInputIsTerminal()
{
    return isCharacterDevice(GetStdHandle(STD_INPUT_HANDLE));
}

bool standardOutputIsTerminal()
{
    return isCharacterDevice(GetStdHandle(STD_OUTPUT_HANDLE));
}

bool pathIsTerminal(const std::string& path)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
        nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool terminal = isCharacterDevice(file);
    CloseHandle(file);
    return terminal;
}

} // namespace clampmeter::cli
