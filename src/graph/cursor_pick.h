// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/var_module.h"

#include <cstdint>

namespace clampmeter {

/// The point (1 … GraphPointCount) the cursor readout chooses for a pointer at X (plot
/// units). Left of the first point: point 1; right of the last: the last. Otherwise the
/// last point i with 0 ≤ X − x(i) < XStep, so where points share an x the highest index
/// wins. Where rounding leaves a stretch that no such interval covers (scales 500 and
/// 1000), the nearer neighbour, and the higher index when both are equally near.
/// GraphPointCount must be at least 1.
std::int32_t pickGraphPoint(const VarModule& vars, double X);

} // namespace clampmeter
