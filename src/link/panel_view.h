// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <string_view>

namespace clampmeter {

/// The main panel's controls that show a reading, named after the controls they set.
class PanelView {
public:
    PanelView() = default;
    PanelView(const PanelView&) = delete;
    PanelView& operator=(const PanelView&) = delete;
    virtual ~PanelView() = default;

    virtual void setWiringVisible(bool visible) = 0; ///< Label6, "3@3w"
    virtual void setPhaseCaption(std::string_view caption) = 0; ///< Label12
    virtual void setBatVisible(bool visible) = 0; ///< Label13, "bat"
    virtual void setMrVisible(bool visible) = 0; ///< Label4, "MR"
    virtual void setNumberText(std::string_view text) = 0; ///< Label11
    virtual void setClassCaption(std::string_view caption) = 0; ///< Label1
    virtual void setUnitCaption(std::string_view caption) = 0; ///< Label7
    virtual void setSecondaryClassCaption(std::string_view caption) = 0; ///< Label9
    virtual void setSecondaryUnitCaption(std::string_view caption) = 0; ///< Label8
    virtual void setDialPicture(int picture) = 0; ///< Image1, 1 … 8
    virtual void setMainText(std::string_view text) = 0; ///< MainDataLabel
    virtual void setSecondaryText(std::string_view text) = 0; ///< SlaveDataLabel

    /// Label7's caption as it stands: the unit recorded with a reading.
    virtual std::string unitCaption() const = 0;
};

} // namespace clampmeter
