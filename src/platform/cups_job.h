// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

namespace clampmeter {

/// A finished document handed to the print server.
struct CupsJob {
    int id = 0; ///< the server's job number; 0 when the server refused the document
    std::string error; ///< the server's reason when refused
};

/// Sends a PDF file to a queue of the print server on A4 paper, one-sided, the way Qt's own
/// print engine sends its documents. `queue` may carry an instance ("PDF/draft").
CupsJob submitToCups(
    const std::string& queue, const std::string& file, const std::string& title, bool landscape);

} // namespace clampmeter
