// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace clampmeter::cli {

/// A file the log only ever appends to: every write goes to its end, whatever else writes to
/// it, and is never truncated. After a failure error() holds the system's own words.
class AppendFile {
public:
    AppendFile() = default;
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;
    ~AppendFile();

    /// Opens `name` for appending, making it when it is missing; closes what was open.
    bool open(const std::string& name);
    void close();

    /// A file on a disk, as opposed to a device or a pipe (which have nothing to commit).
    bool isRegular() const { return m_regular; }
    /// Its size when it was opened.
    std::uint64_t sizeAtOpen() const { return m_sizeAtOpen; }
    /// Its last byte when it was opened; nothing when it was empty or cannot be read.
    std::optional<char> lastByteAtOpen() const;

    /// Writes all of `text` at the end of the file.
    bool write(std::string_view text);
    /// Hands what was written to the disk; only for a regular file.
    bool commit();

    const std::string& error() const { return m_error; }

private:
    bool fail();

    std::string m_name;
#ifdef _WIN32
    void* m_handle = nullptr; ///< HANDLE, kept opaque so that this header needs no <windows.h>
#else
    int m_fd = -1;
#endif
    bool m_regular = false;
    std::uint64_t m_sizeAtOpen = 0;
    std::string m_error;
};

} // namespace clampmeter::cli
