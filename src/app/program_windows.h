// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/live_views.h"
#include "list/list_command_host.h"
#include "shared/var_module.h"

#include <memory>

namespace clampmeter {

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

    /// The List command: shows the list window at its fixed place.
    void showList();
    /// The main panel unloads: the list window closes, then the graph window.
    void closeAll();

    ListLiveView& list() override;
    GraphLiveUpdate& graph() override;

private:
    VarModule& m_vars;
    ListCommandHost& m_host;
    std::unique_ptr<Frm_List> m_list;
    NullGraphLiveUpdate m_graph;
};

} // namespace clampmeter
