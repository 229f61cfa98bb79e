// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "list/output_file.h"

#include <string>
#include <string_view>

namespace clampmeter {

/// Output files written through QSaveFile: the text goes to a new file beside the target,
/// which replaces the target only on commit, so a failed or abandoned save leaves an
/// existing file as it was.
///
/// Where the folder admits no new file but the target exists and may be written, the file
/// is rewritten in place instead (QSaveFile's direct-write fallback); there a failure can
/// leave it incomplete.
///
/// The UTF-8 bytes handed in are stored in the user's locale character set, without a
/// byte-order mark. A failure is reported in the system's words ("No space left on
/// device", "Permission denied", "Read-only file system", "File name too long", …).
class QtOutputFiles final : public OutputFiles {
public:
    /// Files in the user's locale character set (LocaleCharset's default).
    QtOutputFiles();
    /// Files in the named character set (a LocaleCharset name).
    explicit QtOutputFiles(std::string_view charset);

    std::unique_ptr<OutputFile> create(const std::string& path) override;

private:
    std::string m_charset;
};

} // namespace clampmeter
