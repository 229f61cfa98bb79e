// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "terminals.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace clampmeter::cli {

bool standardInputIsTerminal()
{
    return ::isatty(STDIN_FILENO) != 0;
}

bool standardOutputIsTerminal()
{
    return ::isatty(STDOUT_FILENO) != 0;
}

bool standardErrorIsTerminal()
{
    return ::isatty(STDERR_FILENO) != 0;
}

std::size_t standardErrorColumns()
{
    winsize size {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0)
        return 0;
    return size.ws_col;
}

bool standardOutputIsNonEmptyFile()
{
    struct stat status { };
    return ::fstat(STDOUT_FILENO, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0;
}

bool serialDeviceExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

bool pathIsTerminal(const std::string& path)
{
    // Without blocking: a serial line with no carrier would hold the open up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const bool terminal = fd >= 0 && ::isatty(fd) != 0;
    if (fd >= 0)
        ::close(fd);
    return terminal;
}

} // namespace clampmeter::cli
