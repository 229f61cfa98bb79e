// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/var_module.h"

#include <string_view>

namespace clampmeter {

/// The data list window as the capture step writes it, shown or hidden.
class ListLiveView {
public:
    ListLiveView() = default;
    ListLiveView(const ListLiveView&) = delete;
    ListLiveView& operator=(const ListLiveView&) = delete;
    virtual ~ListLiveView() = default;

    virtual void setUnitCaption(std::string_view caption) = 0; ///< Label1 beside the reading
    virtual void setMainText(std::string_view text) = 0; ///< maindatashow
    /// Inserts the newest record as row 1 of the grid and updates the record counter.
    virtual void insertRecordRow(const DataRecord& record) = 0;
    /// A reading came that the full store could not hold: the counter says so.
    virtual void showStoreFull() = 0;
};

/// The graph window's live update, run for every stored record.
class GraphLiveUpdate {
public:
    GraphLiveUpdate() = default;
    GraphLiveUpdate(const GraphLiveUpdate&) = delete;
    GraphLiveUpdate& operator=(const GraphLiveUpdate&) = delete;
    virtual ~GraphLiveUpdate() = default;

    /// The newest record (index DataCount - 1) is completely written and counted.
    virtual void LiveGraphUpdate() = 0;
};

/// The windows the capture step writes into. Each is created, hidden, the first time it is
/// asked for, and then lives as long as the main panel.
class LiveWindows {
public:
    LiveWindows() = default;
    LiveWindows(const LiveWindows&) = delete;
    LiveWindows& operator=(const LiveWindows&) = delete;
    virtual ~LiveWindows() = default;

    virtual ListLiveView& list() = 0;
    virtual GraphLiveUpdate& graph() = 0;
};

} // namespace clampmeter
