// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/program_windows.h"

#include "list/frm_list.h"

namespace clampmeter {

ProgramWindows::ProgramWindows(VarModule& vars, ListCommandHost& host)
    : m_vars(vars)
    , m_host(host)
{
}

ProgramWindows::~ProgramWindows() = default;

Frm_List& ProgramWindows::listWindow()
{
    if (!m_list)
        m_list = std::make_unique<Frm_List>(m_vars, m_host);
    return *m_list;
}

void ProgramWindows::showList()
{
    listWindow().showAtHome();
}

void ProgramWindows::closeAll()
{
    if (m_list)
        m_list->close();
}

ListLiveView& ProgramWindows::list()
{
    return listWindow();
}

GraphLiveUpdate& ProgramWindows::graph()
{
    return m_graph;
}

} // namespace clampmeter
