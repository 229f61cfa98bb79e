// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "terminals.h"

#include <windows.h>

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

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

bool standardErrorIsTerminal()
{
    // The status line is kept in place with the terminal's escape sequences, which a console
    // takes once asked to (Windows 10 on); a console that will not has no status line.
    const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (!isCharacterDevice(console) || !GetConsoleMode(console, &mode))
        return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0
        || SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

std::size_t standardErrorColumns()
{
    CONSOLE_SCREEN_BUFFER_INFO info {};
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info))
        return 0;
    return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
}

bool standardOutputIsNonEmptyFile()
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    LARGE_INTEGER size {};
    return output != nullptr && output != INVALID_HANDLE_VALUE
        && GetFileType(output) == FILE_TYPE_DISK && GetFileSizeEx(output, &size)
        && size.QuadPart > 0;
}

bool serialDeviceExists(const std::string& path)
{
    // A COM port is no file: it is there when opening it fails for any reason but its absence
    // (another program holding it is one).
    const std::string device = path.starts_with("\\\\.\\") ? path : "\\\\.\\" + path;
    const HANDLE port = CreateFileA(
        device.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (port != INVALID_HANDLE_VALUE) {
        CloseHandle(port);
        return true;
    }
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
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
