// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace clampmeter {

/// The two panels that share the main panel's display area. At start the "NO DATA" panel
/// is visible and the display panel hidden.
class LinkPanels {
public:
    LinkPanels() = default;
    LinkPanels(const LinkPanels&) = delete;
    LinkPanels& operator=(const LinkPanels&) = delete;
    virtual ~LinkPanels() = default;

    virtual void setDisplayPanelVisible(bool visible) = 0; ///< Picture1, the reading labels
    virtual void setNoDataPanelVisible(bool visible) = 0; ///< Picture3, "NO DATA"
};

} // namespace clampmeter
