// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/log_messages.h"

#include "terminals.h"

#include <ostream>

namespace clampmeter::cli {
namespace {

// Back to the start of the line, and everything from there to its end erased.
constexpr std::string_view kClearLine = "\r\x1b[K";

} // namespace

LogMessages::LogMessages(std::ostream& err, bool terminal)
    : m_err(err)
    , m_terminal(terminal)
{
}

std::size_t LogMessages::columns() const
{
    const std::size_t columns = m_terminal ? standardErrorColumns() : 0;
    return columns == 0 ? 80 : columns;
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
    if (!m_terminal || line == m_status)
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
