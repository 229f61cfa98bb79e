// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "journal/journal_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace clampmeter {

JournalFile::~JournalFile()
{
    close();
}

bool JournalFile::open(const std::filesystem::path& path, Mode mode)
{
    close();
    // Only a regular file, never through a link, and never waiting on a FIFO.
    const int flags = O_RDWR | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK
        | (mode == Mode::Create ? O_CREAT | O_EXCL : 0);
    m_fd = ::open(path.c_str(), flags, 0600);
    if (m_fd < 0) {
        fail();
        return false;
    }
    struct stat status { };
    if (::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        m_error = "not a regular file";
        close();
        errno = EINVAL;
        return false;
    }
    // A new file can only be held, briefly, by a program asking whether it is in use: wait
    // for it. An old one may be held by a running program: that is an answer.
    const int lock = mode == Mode::Create ? LOCK_EX : LOCK_EX | LOCK_NB;
    int locked = 0;
    do {
        locked = ::flock(m_fd, lock);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const bool held = errno == EWOULDBLOCK;
        fail();
        if (held)
            m_error = kJournalInUse;
        close();
        return false;
    }
    return true;
}

bool JournalFile::isOpen() const
{
    return m_fd >= 0;
}

void JournalFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool JournalFile::append(std::string_view bytes, std::size_t& written)
{
    written = 0;
    while (!bytes.empty()) {
        const ssize_t count = ::write(m_fd, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            if (count == 0)
                errno = ENOSPC;
            fail();
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
        written += static_cast<std::size_t>(count);
    }
    return true;
}

bool JournalFile::sync()
{
    if (::fdatasync(m_fd) == 0)
        return true;
    fail();
    return false;
}

bool JournalFile::endsWithLineEnd()
{
    struct stat status { };
    if (::fstat(m_fd, &status) != 0 || status.st_size == 0)
        return true;
    char last = 0;
    return ::pread(m_fd, &last, 1, status.st_size - 1) == 1 && last == '\n';
}

void JournalFile::fail()
{
    m_error = std::strerror(errno);
}

bool journalFileInUse(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat status { };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return false;
    }
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

std::string createPrivateFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    if (std::filesystem::is_directory(folder, error))
        return {};
    if (folder.has_parent_path() && folder.parent_path() != folder) {
        if (std::string reason = createPrivateFolder(folder.parent_path()); !reason.empty())
            return reason;
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return std::strerror(errno);
    return {};
}

} // namespace clampmeter
