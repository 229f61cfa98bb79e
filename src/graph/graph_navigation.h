// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/var_module.h"

namespace clampmeter {

/// The five navigation buttons, left to right.
enum class NavigationButton {
    First, ///< imgbtnfirst: the first window of records
    Left, ///< imgbtnleft: half a window back
    Centre, ///< imgbtncenter: follow new readings again, from an empty page
    Right, ///< imgbtnright: half a window forward
    End, ///< imgbtnend: the last window
};

/// A button's move of the window over the store: GraphBrowsing, GraphStart and
/// GraphPointCount. False, with nothing changed, where the button does nothing: an empty
/// store, "first" with fewer records than a window holds, "right" when the window already
/// reaches the newest record. The points themselves are not rebuilt here.
bool moveGraphWindow(VarModule& vars, NavigationButton button);

/// Fills GraphPoints 1 … GraphPointCount with records GraphStart onwards at the current
/// scales. A count of zero or less rebuilds nothing.
void rebuildGraphWindow(VarModule& vars);

} // namespace clampmeter
