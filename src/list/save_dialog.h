// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <string_view>

namespace clampmeter {

/// What a file-save dialog is asked to show.
struct SaveDialogRequest {
    std::string_view title; ///< "Save"
    /// Filter entries as "description|pattern" pairs, e.g. "text files (*.txt)|*.txt".
    std::string_view filter;
    /// The full file name offered in the name field; empty offers nothing.
    std::string_view fileName;
};

/// A modal file-save dialog. It runs a nested event loop: serial events and timers go on
/// while it is open.
class SaveDialog {
public:
    SaveDialog() = default;
    SaveDialog(const SaveDialog&) = delete;
    SaveDialog& operator=(const SaveDialog&) = delete;
    virtual ~SaveDialog() = default;

    /// The full file name chosen, with the chosen filter's suffix when it was typed without
    /// one, after the user agreed to replace a file of that name; empty when the user
    /// cancelled.
    virtual std::string showSave(const SaveDialogRequest& request) = 0;
};

} // namespace clampmeter
