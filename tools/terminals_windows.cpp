// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "terminals.h"

#include <windows.h>

#include <cstdio>
#include <io.h>

namespace clampmeter::cli {

bool standardInputIsTerminal()
{
    return _isatty(_fileno(stdin)) != 0;
}

bool standardOutputIsTerminal()
{
    return _isatty(_fileno(stdout)) != 0;
}

bool pathIsTerminal(const std::string& path)
{
    // Consoles and serial ports are character devices; files and pipes are not.
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
        nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool terminal = GetFileType(file) == FILE_TYPE_CHAR;
    CloseHandle(file);
    return terminal;
}

} // namespace clampmeter::cli
