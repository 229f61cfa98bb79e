// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "journal/journal_file.h"

#include <windows.h>

#include <system_error>

namespace clampmeter {
namespace {

std::string systemReason(DWORD error)
{
    return std::system_category().message(static_cast<int>(error));
}

} // namespace

JournalFile::~JournalFile()
{
    close();
}

bool JournalFile::open(const std::filesystem::path& path, Mode mode)
{
    close();
    // Others may read the journal while it is written, never write it: that is how a
    // running program's journal is told from one whose program has ended.
    HANDLE handle = ::CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA, FILE_SHARE_READ,
        nullptr, mode == Mode::Create ? CREATE_NEW : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        m_error
            = error == ERROR_SHARING_VIOLATION ? std::string(kJournalInUse) : systemReason(error);
        return false;
    }
    m_handle = handle;
    return true;
}

bool JournalFile::isOpen() const
{
    return m_handle != nullptr;
}

void JournalFile::close()
{
    if (m_handle != nullptr)
        ::CloseHandle(static_cast<HANDLE>(m_handle));
    m_handle = nullptr;
}

bool JournalFile::append(std::string_view bytes, std::size_t& written)
{
    written = 0;
    while (!bytes.empty()) {
        DWORD count = 0;
        constexpr std::size_t kLargestWrite = std::size_t {1} << 30;
        const auto size
            = static_cast<DWORD>(bytes.size() < kLargestWrite ? bytes.size() : kLargestWrite);
        if (!::WriteFile(static_cast<HANDLE>(m_handle), bytes.data(), size, &count, nullptr)
            || count == 0) {
            fail();
            return false;
        }
        bytes.remove_prefix(count);
        written += count;
    }
    return true;
}

bool JournalFile::sync()
{
    if (::FlushFileBuffers(static_cast<HANDLE>(m_handle)))
        return true;
    fail();
    return false;
}

bool JournalFile::endsWithLineEnd()
{
    LARGE_INTEGER size {};
    if (!::GetFileSizeEx(static_cast<HANDLE>(m_handle), &size) || size.QuadPart == 0)
        return true;
    OVERLAPPED at {};
    const auto last = static_cast<ULONGLONG>(size.QuadPart - 1);
    at.Offset = static_cast<DWORD>(last & 0xFFFFFFFFU);
    at.OffsetHigh = static_cast<DWORD>(last >> 32);
    char byte = 0;
    DWORD read = 0;
    return ::ReadFile(static_cast<HANDLE>(m_handle), &byte, 1, &read, &at) && read == 1
        && byte == '\n';
}

void JournalFile::fail()
{
    const DWORD error = ::GetLastError();
    m_error = systemReason(error == ERROR_SUCCESS ? ERROR_DISK_FULL : error);
}

bool journalFileInUse(const std::filesystem::path& path)
{
    HANDLE handle = ::CreateFileW(path.c_str(), FILE_APPEND_DATA,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_SHARING_VIOLATION;
    ::CloseHandle(handle);
    return false;
}

std::string createPrivateFolder(const std::filesystem::path& folder)
{
    // The local application data folder is the user's own already.
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return error ? error.message() : std::string {};
}

} // namespace clampmeter
