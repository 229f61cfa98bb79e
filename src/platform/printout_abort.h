// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPrinter>

namespace clampmeter {

/// Aborts the document the printer has begun, so that the system's print queue drops what
/// was drawn. False when the printer or the system would not.
bool abortPrintout(QPrinter& printer);

} // namespace clampmeter
