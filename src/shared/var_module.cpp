// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shared/var_module.h"

namespace clampmeter {

void VarModule::setStartValues()
{
    DataCount = 0;
    GraphPointCount = 0;
    XScale = 100;
    YScale = 600;
    XStep = 6.0;
    GraphStart = 1;
    GraphBrowsing = false;
    CrossOn = true;
}

} // namespace clampmeter
