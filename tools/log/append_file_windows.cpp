// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Appending on Windows: a handle with the right to append but not to write elsewhere, so the
// system puts every write at the end of the file, as O_APPEND does. Other programs may read
// the log (and append to it) while it is open.

#include "log/append_file.h"

#include "platform/windows_error_text.h"

#include <windows.h>

#include <algorithm>

namespace clampmeter::cli {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

} // namespace

AppendFile::~AppendFile()
{
    close();
}

bool AppendFile::open(const std::string& name)
{
    close();
    m_name = name;
    const HANDLE handle
        = CreateFileA(name.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
            kShareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return fail();
    m_handle = handle;
    m_regular = GetFileType(handle) == FILE_TYPE_DISK;
    LARGE_INTEGER size {};
    if (m_regular && !GetFileSizeEx(handle, &size))
        return fail();
    m_sizeAtOpen = m_regular ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    return true;
}

void AppendFile::close()
{
    if (m_handle != nullptr)
        CloseHandle(static_cast<HANDLE>(m_handle));
    m_handle = nullptr;
    m_regular = false;
    m_sizeAtOpen = 0;
}

std::optional<char> AppendFile::lastByteAtOpen() const
{
    if (m_sizeAtOpen == 0)
        return std::nullopt;
    const HANDLE reader
        = CreateFileA(m_name.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (reader == INVALID_HANDLE_VALUE)
        return std::nullopt;
    LARGE_INTEGER at {};
    at.QuadPart = static_cast<LONGLONG>(m_sizeAtOpen - 1);
    char byte = 0;
    DWORD read = 0;
    const bool ok = SetFilePointerEx(reader, at, nullptr, FILE_BEGIN)
        && ReadFile(reader, &byte, 1, &read, nullptr) && read == 1;
    CloseHandle(reader);
    return ok ? std::optional<char>(byte) : std::nullopt;
}

bool AppendFile::write(std::string_view text)
{
    while (!text.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1U << 30));
        DWORD written = 0;
        if (!WriteFile(static_cast<HANDLE>(m_handle), text.data(), chunk, &written, nullptr)
            || written == 0)
            return fail();
        text.remove_prefix(written);
    }
    return true;
}

bool AppendFile::commit()
{
    return FlushFileBuffers(static_cast<HANDLE>(m_handle)) || fail();
}

bool AppendFile::fail()
{
    m_error = lastWindowsErrorText();
    close();
    return false;
}

} // namespace clampmeter::cli
