// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/fixed_array.h"

#include <cstdint>
#include <span>
#include <string>

namespace clampmeter {

/// One captured reading. Texts are stored as they were shown when the reading arrived.
struct DataRecord {
    std::int32_t No = 0; ///< record number from 1; always the store index + 1
    double Value = 0.0; ///< MainValue of the frame, widened from 32 bits without rounding
    std::string FunText; ///< "FUN_VAC" … "FUN_ENERGY", empty for an unknown function code
    std::string StampText; ///< DateText + "\" + TimeText
    std::string UnitText; ///< unit caption of the main reading at capture time
    std::string DataText; ///< the main reading exactly as displayed ("229.8", "OL", "----", …)
    std::string DateText; ///< capture date in the user's short date format
    std::string TimeText; ///< capture time in the user's time format, with seconds
};

/// One point of the graph window, in the plot box's own units.
struct GraphPoint {
    std::int32_t PointNo = 0; ///< record number (No) of the point's record
    std::int32_t PointX = 0; ///< 0 … 605 across
    std::int32_t PointY = 0; ///< 0 … 543 down
};

inline constexpr std::int32_t kMaxRecords = 50000;
inline constexpr std::int32_t kMaxGraphPoints = 1000;

/// The memory of one program run: the record store and the graph-window state.
///
/// Plain fields, read and written directly by the link, the list and the graph. One
/// instance is owned by whoever runs the program and handed out by reference.
struct VarModule {
    /// Exactly 50000 records, allocated once; the record with No n is at index n - 1.
    /// Elements at or above DataCount are stale and are overwritten by later captures.
    FixedArray<DataRecord, kMaxRecords> DataRecords;
    std::int32_t DataCount = 0; ///< number of valid records, 0 … 50000

    /// Graph entries 1 … 1000 live at indexes 0 … 999.
    FixedArray<GraphPoint, kMaxGraphPoints> GraphPoints;
    std::int32_t GraphPointCount = 0; ///< entries in use, at most XScale
    std::int32_t GraphStart = 1; ///< record number of the first point in the window
    std::int32_t XScale = 100; ///< points per graph window
    std::int32_t YScale = 600; ///< full-scale value of the vertical axis
    double XStep = 6.0; ///< horizontal pixels per point, 600 / XScale
    bool GraphBrowsing = false; ///< showing history chosen by navigation, not following
    bool CrossOn = true; ///< dotted horizontal grid lines are drawn

    /// The load handler's first step: count and graph state back to their start values.
    /// Records and graph entries are left as they are (they are stale beyond the counts).
    void setStartValues();
};

/// The valid records, record 1 first.
inline std::span<const DataRecord> storedRecords(const VarModule& vars)
{
    return {vars.DataRecords.begin(), static_cast<std::size_t>(vars.DataCount)};
}

} // namespace clampmeter
