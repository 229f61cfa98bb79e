// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/log_messages.h"

#include <ostream>
#include <sys/ioctl.h>

namespace clampmeter::cli {
namespace {

// Back to the start of the line, and everything from there to its end erased.
constexpr std::string_view kClearLine = "\r\x1b[K";

} // namespace

LogMessages::LogMessages(std::ostream& err, int terminal)
    : m_err(err)
    , m_terminal(terminal)
{
}

std::size_t LogMessages::columns() const
{
    winsize size {};
    if (m_terminal < 0 || ::ioctl(m_terminal, TIOCGWINSZ, &size) != 0 || size.ws_col == 0)
        return 80;
    return size.ws_col;
}

void LogMessages::say(std::string_view text)
{
    clearStatus();
    m_err << "clampmeter-cli log: " << text << '\n';
    if (!m_status.empty())
        m_err << m_status;
    m_err.flush();
}

void LogMessages::showStatus(std::string_view line)
{
    if (m_terminal < 0 || line == m_status)
        return;
    m_status = line;
    m_err << kClearLine << m_status;
    m_err.flush();
}

void LogMessages::endStatus()
{
    clearStatus();
    m_status.clear();
    m_err.flush();
}

void LogMessages::clearStatus()
{
    if (!m_status.empty())
        m_err << kClearLine;
}

} // namespace clampmeter::cli
