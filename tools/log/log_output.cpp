// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/log_output.h"

#include "checked_output.h"
#include "log/append_file.h"
#include "log/log_file_name.h"

#include <filesystem>

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

class FileLogOutput final : public LogOutput {
public:
    FileLogOutput(std::string pattern, std::string_view header)
        : m_pattern(std::move(pattern))
        , m_header(header)
    {
    }

    bool open(const LogInstant& instant) override { return openFor(instant); }

    bool write(const LogInstant& instant, std::string_view line) override
    {
        if (!openFor(instant))
            return false;
        m_madeNew.clear();
        if (!m_file.write(line))
            return fail("cannot write '" + m_name + "'");
        // Only a regular file can be committed; a device or a pipe has nothing to keep.
        if (m_file.isRegular() && !m_file.commit())
            return fail("cannot write '" + m_name + "'");
        return true;
    }

    std::string failure() const override { return m_failure; }

    void abandonUnused() override
    {
        if (m_madeNew.empty())
            return;
        m_file.close();
        m_name.clear();
        std::error_code error;
        // Only while it still holds just the header this run wrote: anything else is not ours.
        if (std::filesystem::is_regular_file(m_madeNew, error)
            && std::filesystem::file_size(m_madeNew, error) == m_header.size() && !error)
            std::filesystem::remove(m_madeNew, error);
        m_madeNew.clear();
    }

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
        m_name = name;
        std::error_code error;
        const bool existed = std::filesystem::exists(name, error) || error;
        if (!m_file.open(name))
            return fail("cannot open '" + name + "'");
        if (!existed && m_file.isRegular())
            m_madeNew = name;
        std::string_view start = m_header;
        if (m_file.isRegular() && m_file.sizeAtOpen() > 0)
            start = m_file.lastByteAtOpen().value_or('\n') == '\n' ? "" : "\n";
        if (!start.empty() && !m_file.write(start))
            return fail("cannot write '" + name + "'");
        return true;
    }

    bool fail(const std::string& what)
    {
        m_failure = what + ": " + m_file.error();
        // The next line tries the file afresh.
        m_file.close();
        m_name.clear();
        return false;
    }

    std::string m_pattern;
    std::string m_header;
    std::string m_name; ///< of the open file
    std::string m_madeNew; ///< the file open() made, until a line goes into it
    AppendFile m_file;
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
