// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "list/output_file.h"
#include "platform/locale_charset.h"

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>

namespace clampmeter::cli {

/// Where the command-line tools hand the report and export writers their bytes: text in the
/// user's character set, as the program's own files are.
class CliOutputFile : public OutputFile {
public:
    bool write(std::string_view bytes) final;
    std::string errorText() const final { return m_error; }

protected:
    /// Writes bytes already in the file's character set.
    virtual bool writeEncoded(std::string_view bytes) = 0;
    void fail(std::string reason);
    bool failed() const { return !m_error.empty(); }

private:
    LocaleCharset m_charset;
    std::string m_encoded;
    std::string m_error;
};

/// Standard output (or any stream); commit flushes it.
class StreamOutputFile final : public CliOutputFile {
public:
    explicit StreamOutputFile(std::ostream& out);
    bool commit() override;

private:
    bool writeEncoded(std::string_view bytes) override;
    bool check();

    std::ostream& m_out;
};

/// A named file, written beside its place and moved there on commit: a failure part-way
/// leaves an existing file as it was.
class ReplacingOutputFile final : public CliOutputFile {
public:
    explicit ReplacingOutputFile(std::filesystem::path path);
    ~ReplacingOutputFile() override;
    bool commit() override;

private:
    bool writeEncoded(std::string_view bytes) override;
    void failWithErrno();

    std::filesystem::path m_path;
    std::filesystem::path m_temporary;
    std::ofstream m_out;
    bool m_committed = false;
};

} // namespace clampmeter::cli
