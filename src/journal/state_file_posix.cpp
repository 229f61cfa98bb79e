// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "journal/state_file.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace clampmeter {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
// Twenty digits and a line end: every value has the same width, so a rewrite covers the old.
constexpr std::size_t kRecordDigits = 20;

std::string kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "is a directory";
    if (S_ISFIFO(mode))
        return "is a FIFO";
    if (S_ISLNK(mode))
        return "is a symbolic link";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "is a device";
    if (S_ISSOCK(mode))
        return "is a socket";
    return "is not a regular file";
}

// Opens a regular file, or fails with errno set and `reason` saying why. O_NONBLOCK keeps a
// FIFO from holding the open; O_NOFOLLOW refuses a link.
int openRegular(const std::filesystem::path& path, int flags, std::string& reason)
{
    const int fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        reason = errno == ELOOP ? "is a symbolic link" : std::strerror(errno);
        return -1;
    }
    struct stat status { };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        reason = kindOf(status.st_mode);
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

} // namespace

std::string notARegularFile(const std::filesystem::path& path)
{
    struct stat status { };
    if (::lstat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode))
        return {};
    return kindOf(status.st_mode);
}

StateFileLines::~StateFileLines()
{
    close();
}

bool StateFileLines::open(const std::filesystem::path& path, std::size_t longestLine)
{
    close();
    m_fd = openRegular(path, O_RDONLY, m_error);
    m_longest = longestLine;
    return m_fd >= 0;
}

void StateFileLines::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_buffer.clear();
    m_pos = 0;
    m_bufferOffset = 0;
}

bool StateFileLines::fill(bool& gotMore)
{
    m_bufferOffset += m_pos;
    m_buffer.erase(0, m_pos);
    m_pos = 0;
    const std::size_t had = m_buffer.size();
    m_buffer.resize(had + kReadChunk);
    ssize_t count = 0;
    do {
        count = ::read(m_fd, m_buffer.data() + had, kReadChunk);
    } while (count < 0 && errno == EINTR);
    m_buffer.resize(had + static_cast<std::size_t>(count > 0 ? count : 0));
    if (count < 0) {
        m_error = std::strerror(errno);
        return false;
    }
    gotMore = count > 0;
    return true;
}

StateFileLines::Result StateFileLines::next()
{
    if (m_fd < 0)
        return Result::Failed;
    bool tooLong = false;
    m_line.clear();
    m_lineOffset = m_bufferOffset + m_pos;
    while (true) {
        const std::size_t end = m_buffer.find('\n', m_pos);
        if (end != std::string::npos) {
            const bool fits = !tooLong && end - m_pos <= m_longest;
            if (fits)
                m_line.assign(m_buffer, m_pos, end - m_pos);
            m_pos = end + 1;
            return fits ? Result::Line : Result::TooLong;
        }
        if (m_buffer.size() - m_pos > m_longest) {
            // Too long to keep: pass over what there is and go on to the line's end.
            tooLong = true;
            m_pos = m_buffer.size();
        }
        bool gotMore = false;
        if (!fill(gotMore))
            return Result::Failed;
        if (gotMore)
            continue;
        if (!tooLong && m_pos == m_buffer.size())
            return Result::End;
        // What there is of a line without its end stays unread: more may follow.
        if (!tooLong)
            m_line.assign(m_buffer, m_pos, std::string::npos);
        return Result::Unfinished;
    }
}

NumberRecord::Reading NumberRecord::read(const std::filesystem::path& path)
{
    Reading reading;
    std::string reason;
    const int fd = openRegular(path, O_RDONLY, reason);
    if (fd < 0) {
        if (errno != ENOENT) {
            reading.state = State::Damaged;
            reading.problem = reason;
        }
        return reading;
    }
    std::array<char, 64> text {};
    const ssize_t count = ::read(fd, text.data(), text.size());
    ::close(fd);
    const std::string_view content(text.data(), count > 0 ? static_cast<std::size_t>(count) : 0);
    const std::string_view digits = content.substr(0, content.find('\n'));
    unsigned long long value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (count < 0 || digits.empty() || error != std::errc {}
        || end != digits.data() + digits.size()) {
        reading.state = State::Damaged;
        reading.problem = count < 0 ? std::string(std::strerror(errno)) : "holds no number";
        return reading;
    }
    reading.state = State::Read;
    reading.value = value;
    return reading;
}

std::string NumberRecord::write(const std::filesystem::path& path, unsigned long long value)
{
    std::string reason;
    const int fd = openRegular(path, O_RDWR | O_CREAT, reason);
    if (fd < 0)
        return reason;
    std::array<char, kRecordDigits + 2> text {};
    std::snprintf(text.data(), text.size(), "%020llu\n", value);
    const bool written
        = ::pwrite(fd, text.data(), kRecordDigits + 1, 0) == static_cast<ssize_t>(kRecordDigits + 1)
        && ::fdatasync(fd) == 0;
    const int error = errno;
    ::close(fd);
    return written ? std::string() : std::string(std::strerror(error));
}

} // namespace clampmeter
