// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/live_views.h"
#include "list/list_command_host.h"
#include "list/list_grid_model.h"
#include "shared/skinned_window.h"

class QPushButton;

namespace clampmeter {

class ListGridView;
class ValueLabel;

/// The data list window: the latest reading in large figures, the commands Clear list,
/// Save, To Excel and Print, the record counter and the grid of every record, newest
/// first. Skinned and frameless, dragged by its background, hidden (never destroyed) by
/// its close picture; the capture step writes into it whether it is shown or not.
class Frm_List final : public SkinnedWindow, public ListLiveView {
    Q_OBJECT

public:
    Frm_List(VarModule& vars, ListCommandHost& host, QWidget* parent = nullptr);
    ~Frm_List() override;

    /// Header set-up at program start: the grid's column headers.
    void writeHeaders();
    /// Shows the window at its fixed place, 0, 200 twips from the screen's top left.
    void showAtHome();

    /// "Clear list": asks first when readings would go that no save holds; then no records,
    /// the grid back to its header and empty row, the counter at 0 and the graph emptied.
    /// The latest reading stays as it is until the next capture.
    void Command1_Click();
    /// "Print": every record on the default printer, 36 to a page; a failure is shown once.
    void ListPrintSub();

    ListGridModel& gridModel() { return m_model; }

    // ListLiveView
    void setUnitCaption(std::string_view caption) override;
    void setMainText(std::string_view text) override;
    void insertRecordRow(const DataRecord& record) override;
    void showStoreFull() override;

private:
    void buildControls();
    void setStoreFull(bool full);
    QPushButton* addButton(const char* name, int left, int width, const char* caption);

    VarModule& m_vars;
    ListCommandHost& m_host;
    ListGridModel m_model;

    ValueLabel* m_maindatashow = nullptr;
    ValueLabel* m_unitLabel = nullptr; // Label1
    ValueLabel* m_counter = nullptr; // Label4
    ListGridView* m_grid = nullptr;
    bool m_storeFull = false; ///< the counter shows that readings are no longer listed
};

} // namespace clampmeter
