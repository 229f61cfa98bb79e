// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace clampmeter {

/// A session journal's file, open for appending and held by this program alone while it is
/// open: another program that asks whether it is in use is told so.
///
/// Each append is one write to the system (the rest of a short write is retried), so a
/// crash of the program loses nothing the append returned from; sync() makes it survive a
/// power cut too. The file is created readable and writable by its owner only.
class JournalFile {
public:
    enum class Mode {
        Create, ///< a new file; fails when one of that name exists
        Append, ///< an existing file, appended to
    };

    JournalFile() = default;
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    /// Opens the file (closing any other first). False with errorText() on failure; "in use"
    /// when another program holds it.
    bool open(const std::filesystem::path& path, Mode mode);
    bool isOpen() const;
    void close();

    /// Appends `bytes` at the end. False with errorText() on failure; `written` then tells
    /// how many of them reached the file, so that the rest can follow later.
    bool append(std::string_view bytes, std::size_t& written);
    /// Writes what was appended through to the disk.
    bool sync();
    /// True when the file is empty or ends in a line end: false after a half-written line.
    bool endsWithLineEnd();

    /// The system's reason for the last failure.
    const std::string& errorText() const { return m_error; }

private:
    void fail();

#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
    std::string m_error;
};

/// The words of a journal that another program holds.
inline constexpr std::string_view kJournalInUse = "in use by another program";

/// Whether a running program holds the journal at `path`.
bool journalFileInUse(const std::filesystem::path& path);

/// Creates `folder` and every missing folder above it, each readable by its owner only.
/// Empty on success, else the system's reason.
std::string createPrivateFolder(const std::filesystem::path& folder);

} // namespace clampmeter
