// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/program_windows.h"

#include "graph/frm_graph.h"
#include "graph/plot_window.h"
#include "list/frm_list.h"
#include "shared/twips.h"

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

Frm_Graph& ProgramWindows::graphWindow()
{
    if (!m_graph)
        m_graph = std::make_unique<Frm_Graph>(m_vars, m_host);
    return *m_graph;
}

void ProgramWindows::showList()
{
    listWindow().showAtHome();
}

void ProgramWindows::showGraph()
{
    // In twips from the list window's width, shown or not, then to pixels once.
    const int listWidthTwips = listWindow().width() * kTwipsPerPixel;
    graphWindow().showAt(QPoint(twipsToPixels(listWidthTwips + 50), twipsToPixels(200)));
}

void ProgramWindows::emptyGraph()
{
    if (m_graph)
        m_graph->plotWindow().listCleared();
    else
        clampmeter::emptyGraph(m_vars);
}

void ProgramWindows::closeAll()
{
    if (m_list)
        m_list->close();
    if (m_graph)
        m_graph->close();
}

ListLiveView& ProgramWindows::list()
{
    return listWindow();
}

GraphLiveUpdate& ProgramWindows::graph()
{
    return graphWindow();
}

} // namespace clampmeter
