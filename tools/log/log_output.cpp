// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/log_output.h"

#include "checked_output.h"
#include "log/log_file_name.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace clampmeter::cli {
namespace {

class StreamLogOutput final : public LogOutput {
public:
    StreamLogOutput(std::ostream& out, std::string_view header, bool writeHeader)
        : m_output(out)
        , m_header(writeHeader ? header : std::string_view())
    {
    }

    bool open(const LogInstant&) override
    {
        return m_header.empty() || (m_output.write(m_header) && m_output.flush());
    }
    bool write(const LogInstant&, std::string_view line) override
    {
        return m_output.write(line) && m_output.flush();
    }
    std::string failure() const override { return m_output.failure(); }

private:
    CheckedOutput m_output;
    std::string m_header;
};

// The last byte of the file at `path`, or nothing (empty, unreadable).
std::optional<char> lastByte(const std::string& path, off_t size)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    char byte = 0;
    const bool read = size > 0 && ::pread(fd, &byte, 1, size - 1) == 1;
    ::close(fd);
    return read ? std::optional<char>(byte) : std::nullopt;
}

class FileLogOutput final : public LogOutput {
public:
    FileLogOutput(std::string pattern, std::string_view header)
        : m_pattern(std::move(pattern))
        , m_header(header)
    {
    }
    ~FileLogOutput() override { closeFile(); }

    bool open(const LogInstant& instant) override { return openFor(instant); }

    bool write(const LogInstant& instant, std::string_view line) override
    {
        if (!openFor(instant))
            return false;
        if (!writeAll(line))
            return fail("cannot write '" + m_name + "'");
        // Only a regular file can be synced; a device or a pipe has nothing to keep.
        if (m_regular && ::fdatasync(m_fd) != 0)
            return fail("cannot write '" + m_name + "'");
        return true;
    }

    std::string failure() const override { return m_failure; }

private:
    bool openFor(const LogInstant& instant)
    {
        const std::string name = logFileName(m_pattern, instant.local);
        if (name.empty()) {
            m_failure
                = "the name '" + m_pattern + "' gives no file name at " + isoTimestamp(instant);
            return false;
        }
        return name == m_name || switchTo(name);
    }

    bool switchTo(const std::string& name)
    {
        closeFile();
        m_name = name;
        m_fd = ::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
        if (m_fd < 0)
            return fail("cannot open '" + name + "'");
        struct stat status { };
        if (::fstat(m_fd, &status) != 0)
            return fail("cannot open '" + name + "'");
        m_regular = S_ISREG(status.st_mode);
        std::string_view start = m_header;
        if (m_regular && status.st_size > 0)
            start = lastByte(name, status.st_size).value_or('\n') == '\n' ? "" : "\n";
        if (!start.empty() && !writeAll(start))
            return fail("cannot write '" + name + "'");
        return true;
    }

    bool writeAll(std::string_view text)
    {
        while (!text.empty()) {
            const ssize_t written = ::write(m_fd, text.data(), text.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            text.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    }

    bool fail(const std::string& what)
    {
        const int error = errno;
        m_failure = what + ": " + std::strerror(error);
        // The next line tries the file afresh.
        closeFile();
        m_name.clear();
        return false;
    }

    void closeFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    std::string m_pattern;
    std::string m_header;
    std::string m_name; ///< of the open file
    int m_fd = -1;
    bool m_regular = false;
    std::string m_failure;
};

} // namespace

namespace {

class NoLogOutput final : public LogOutput {
public:
    bool open(const LogInstant& /*instant*/) override { return true; }
    bool write(const LogInstant& /*instant*/, std::string_view /*line*/) override { return true; }
    std::string failure() const override { return {}; }
};

} // namespace

std::unique_ptr<LogOutput> noLogOutput()
{
    return std::make_unique<NoLogOutput>();
}

std::unique_ptr<LogOutput> streamLogOutput(
    std::ostream& out, std::string_view header, bool writeHeader)
{
    return std::make_unique<StreamLogOutput>(out, header, writeHeader);
}

std::unique_ptr<LogOutput> fileLogOutput(std::string pattern, std::string_view header)
{
    return std::make_unique<FileLogOutput>(std::move(pattern), header);
}

} // namespace clampmeter::cli
