// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "list/output_file.h"

#include <cstddef>
#include <string>

namespace clampmeter {

/// Bytes gathered before they are handed to the output file in one write.
inline constexpr std::size_t kFileChunkBytes = 64 * 1024;

/// Gathers text lines and hands them to an output file in chunks of whole lines, so that a
/// character-set conversion behind the file never sees half a character.
class ChunkedLineWriter {
public:
    explicit ChunkedLineWriter(OutputFile& file, std::size_t chunkBytes = kFileChunkBytes);

    /// Where the current line is built; append its text here, then call endLine().
    std::string& line() { return m_chunk; }

    /// Ends the current line with CR LF and, once the chunk is full, writes it out.
    /// False once a write has failed.
    bool endLine();

    /// Writes out what is left. False once a write has failed.
    bool finish();

private:
    bool writeChunk();

    OutputFile& m_file;
    std::size_t m_chunkBytes;
    std::string m_chunk;
    bool m_failed = false;
};

} // namespace clampmeter
