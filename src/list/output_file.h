// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace clampmeter {

/// One file being written: its new content becomes the file's content only on commit, so
/// a failed or abandoned write leaves an existing file as it was.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    virtual ~OutputFile() = default; ///< without commit: discards what was written

    /// Appends bytes (UTF-8; the file may store them in another character set). False once
    /// a write has failed; later writes do nothing.
    virtual bool write(std::string_view bytes) = 0;
    /// Makes what was written the file's content. False on failure.
    virtual bool commit() = 0;
    /// The system's reason for the first failure, for the user.
    virtual std::string errorText() const = 0;
};

/// Creates output files by name.
class OutputFiles {
public:
    OutputFiles() = default;
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;
    virtual ~OutputFiles() = default;

    /// Starts writing the named file. Never null: a file that cannot be created reports
    /// its failure from write() and commit().
    virtual std::unique_ptr<OutputFile> create(const std::string& path) = 0;
};

} // namespace clampmeter
