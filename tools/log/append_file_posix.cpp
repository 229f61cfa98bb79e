// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/append_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace clampmeter::cli {

AppendFile::~AppendFile()
{
    close();
}

bool AppendFile::open(const std::string& name)
{
    close();
    m_name = name;
    m_fd = ::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
    if (m_fd < 0)
        return fail();
    struct stat status { };
    if (::fstat(m_fd, &status) != 0)
        return fail();
    m_regular = S_ISREG(status.st_mode);
    m_sizeAtOpen = m_regular ? static_cast<std::uint64_t>(status.st_size) : 0;
    return true;
}

void AppendFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_regular = false;
    m_sizeAtOpen = 0;
}

std::optional<char> AppendFile::lastByteAtOpen() const
{
    if (m_sizeAtOpen == 0)
        return std::nullopt;
    const int fd = ::open(m_name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    char byte = 0;
    const bool read = ::pread(fd, &byte, 1, static_cast<off_t>(m_sizeAtOpen - 1)) == 1;
    ::close(fd);
    return read ? std::optional<char>(byte) : std::nullopt;
}

bool AppendFile::write(std::string_view text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(m_fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            const int error = errno;
            // Part of the text reached the file (a disk that filled up on the way): cut it off,
            // so that no reader meets a torn line and the next one starts on its own.
            // A cut that fails leaves the torn line, which the next run ends with a line end.
            struct stat status { };
            if (done > 0 && m_regular && ::fstat(m_fd, &status) == 0
                && static_cast<std::uint64_t>(status.st_size) >= done) {
                const int cut = ::ftruncate(m_fd, status.st_size - static_cast<off_t>(done));
                static_cast<void>(cut);
            }
            errno = error;
            return fail();
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

bool AppendFile::commit()
{
    return ::fdatasync(m_fd) == 0 || fail();
}

bool AppendFile::fail()
{
    m_error = std::strerror(errno);
    close();
    return false;
}

} // namespace clampmeter::cli
