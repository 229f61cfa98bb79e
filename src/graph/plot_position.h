// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/var_module.h"

#include <cstdint>

namespace clampmeter {

/// A position rounded to the nearest whole number, halves to the even neighbour (538.5
/// gives 538, 529.5 gives 530). Positions beyond what 32 bits hold (a reading of ±3.0e38
/// on a small scale) are clamped at the limit of the type, far outside the plot box: what
/// is seen is unchanged. Not-a-number has no side to clamp to and lands far below the box.
std::int32_t roundPosition(double position);

/// x of the point at window position i (1-based): round((i − 1) × XStep + 1).
std::int32_t pointX(std::int32_t i, double xStep);

/// y of a point showing `value`: round(543 − (value / YScale) × 540), in that order.
/// Full scale lands on 3, zero on 543; larger values above the box, negative ones below.
std::int32_t pointY(double value, std::int32_t yScale);

/// Where a label beside a point goes, in plot units: 10 right of the point and 90 above it,
/// but never above the box's top edge, and pulled left so that it ends on the right edge
/// of a box `boxWidth` wide when it would reach past it.
struct LabelPlace {
    double left = 0.0;
    double top = 0.0;
};
LabelPlace placeBesidePoint(const GraphPoint& point, double boxWidth);

/// The record a graph point shows, or null when its number lies outside the store. Records
/// beyond DataCount are stale but still there, and a point may show one after a clear.
const DataRecord* pointRecord(const VarModule& vars, const GraphPoint& point);

} // namespace clampmeter
