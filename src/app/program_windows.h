// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/live_views.h"
#include "list/list_command_host.h"
#include "shared/var_module.h"

#include <memory>

namespace clampmeter {

class Frm_Graph;
class Frm_List;

/// The main panel's other windows. Each is created hidden the first time it is needed,
/// only hidden when the user closes it, and destroyed with the main panel.
class ProgramWindows final : public LiveWindows {
public:
    ProgramWindows(VarModule& vars, ListCommandHost& host);
    ~ProgramWindows() override;

    /// The data list window, created hidden on first use.
    Frm_List& listWindow();
    bool hasListWindow() const { return m_list != nullptr; }

    /// The data graph window, created hidden on first use.
    Frm_Graph& graphWindow();
    bool hasGraphWindow() const { return m_graph != nullptr; }

    /// The List command: shows the list window at its fixed place.
    void showList();
    /// The Graph command: shows the graph window 50 twips right of the list window's width,
    /// 200 twips from the top, and draws its plot.
    void showGraph();
    /// The list was cleared: the graph shows an empty page, or will when it is first shown.
    void emptyGraph();
    /// The main panel unloads: the list window closes, then the graph window.
    void closeAll();

    ListLiveView& list() override;
    GraphLiveUpdate& graph() override;

private:
    VarModule& m_vars;
    ListCommandHost& m_host;
    std::unique_ptr<Frm_List> m_list;
    std::unique_ptr<Frm_Graph> m_graph;
};

} // namespace clampmeter
