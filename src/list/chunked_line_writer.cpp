// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/chunked_line_writer.h"

namespace clampmeter {

namespace {

// Room for the line that fills the chunk, so that it rarely has to grow.
constexpr std::size_t kLineReserve = 1024;

} // namespace

ChunkedLineWriter::ChunkedLineWriter(OutputFile& file, std::size_t chunkBytes)
    : m_file(file)
    , m_chunkBytes(chunkBytes)
{
    m_chunk.reserve(m_chunkBytes + kLineReserve);
}

bool ChunkedLineWriter::endLine()
{
    m_chunk.append("\r\n");
    if (m_chunk.size() >= m_chunkBytes)
        return writeChunk();
    return !m_failed;
}

bool ChunkedLineWriter::finish()
{
    return writeChunk();
}

bool ChunkedLineWriter::writeChunk()
{
    if (!m_failed && !m_chunk.empty())
        m_failed = !m_file.write(m_chunk);
    m_chunk.clear();
    return !m_failed;
}

} // namespace clampmeter
