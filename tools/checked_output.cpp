// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "checked_output.h"

#include <cerrno>
#include <cstring>
#include <ostream>

namespace clampmeter::cli {

CheckedOutput::CheckedOutput(std::ostream& out)
    : m_out(out)
{
}

bool CheckedOutput::write(std::string_view text)
{
    // The stream keeps no reason of its own: the failed write leaves it in errno.
    errno = 0;
    m_out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return check();
}

bool CheckedOutput::flush()
{
    errno = 0;
    m_out.flush();
    return check();
}

std::string CheckedOutput::failure() const
{
    const std::string what = "cannot write the output";
    return m_error == 0 ? what : what + ": " + std::strerror(m_error);
}

bool CheckedOutput::check()
{
    if (m_out.good())
        return true;
    if (m_error == 0)
        m_error = errno;
    return false;
}

int writeText(std::string_view command, std::string_view text, std::ostream& out, std::ostream& err)
{
    CheckedOutput output(out);
    if (output.write(text) && output.flush())
        return 0;
    err << command << ": " << output.failure() << '\n';
    return 1;
}

} // namespace clampmeter::cli
