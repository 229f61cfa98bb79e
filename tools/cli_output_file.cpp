// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli_output_file.h"

#include <cerrno>
#include <cstring>
#include <random>

namespace clampmeter::cli {

bool CliOutputFile::write(std::string_view bytes)
{
    if (failed())
        return false;
    if (m_charset.isIdentity() || isAscii(bytes))
        return writeEncoded(bytes);
    m_encoded.clear();
    m_charset.appendFromUtf8(bytes, m_encoded);
    return writeEncoded(m_encoded);
}

void CliOutputFile::fail(std::string reason)
{
    if (m_error.empty())
        m_error = reason.empty() ? std::string("write error") : std::move(reason);
}

StreamOutputFile::StreamOutputFile(std::ostream& out)
    : m_out(out)
{
}

bool StreamOutputFile::writeEncoded(std::string_view bytes)
{
    errno = 0;
    m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return check();
}

bool StreamOutputFile::commit()
{
    if (failed())
        return false;
    errno = 0;
    m_out.flush();
    return check();
}

bool StreamOutputFile::check()
{
    if (!m_out)
        fail(errno != 0 ? std::strerror(errno) : "");
    return !failed();
}

ReplacingOutputFile::ReplacingOutputFile(std::filesystem::path path)
    : m_path(std::move(path))
{
    std::random_device seed;
    m_temporary = m_path;
    m_temporary += ".part-" + std::to_string(seed());
    errno = 0;
    m_out.open(m_temporary, std::ios::binary | std::ios::trunc);
    if (!m_out)
        failWithErrno();
}

ReplacingOutputFile::~ReplacingOutputFile()
{
    if (m_committed)
        return;
    m_out.close();
    std::error_code ignored;
    std::filesystem::remove(m_temporary, ignored);
}

bool ReplacingOutputFile::writeEncoded(std::string_view bytes)
{
    errno = 0;
    if (!m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        failWithErrno();
    return !failed();
}

bool ReplacingOutputFile::commit()
{
    if (failed())
        return false;
    errno = 0;
    m_out.close();
    if (!m_out) {
        failWithErrno();
        return false;
    }
    std::error_code error;
    std::filesystem::rename(m_temporary, m_path, error);
    if (error) {
        fail(error.message());
        return false;
    }
    m_committed = true;
    return true;
}

void ReplacingOutputFile::failWithErrno()
{
    fail(errno != 0 ? std::strerror(errno) : "");
}

} // namespace clampmeter::cli
