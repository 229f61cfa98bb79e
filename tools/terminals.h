// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

namespace clampmeter::cli {

/// Whether standard input or output is a terminal (a console on Windows).
bool standardInputIsTerminal();
bool standardOutputIsTerminal();

/// Whether the file at `path` is a terminal or a serial line (a live line, not a capture).
/// False when it cannot be opened.
bool pathIsTerminal(const std::string& path);

} // namespace clampmeter::cli
