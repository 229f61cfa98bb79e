// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/export_writer.h"

#include "list/chunked_line_writer.h"
#include "list/record_number.h"

namespace clampmeter {
namespace {

/// `records` is asked for the records only once the header is written.
template <typename Records> bool writeRecords(Records records, OutputFile& file)
{
    ChunkedLineWriter out(file);
    out.line().append(kExportHeader);
    if (!out.endLine())
        return false;

    for (const DataRecord& record : records()) {
        out.line()
            .append(RecordNumber(record.No).withSignBlank())
            .append(1, ';')
            .append(record.FunText)
            .append(1, ';')
            .append(record.DataText)
            .append(1, ';')
            .append(record.UnitText)
            .append(1, ';')
            .append(record.TimeText)
            .append(1, ';')
            .append(record.DateText);
        if (!out.endLine())
            return false;
    }
    return out.finish();
}

} // namespace

bool writeExport(const VarModule& vars, OutputFile& file)
{
    return writeRecords([&vars] { return storedRecords(vars); }, file);
}

bool writeExport(std::span<const DataRecord> records, OutputFile& file)
{
    return writeRecords([records] { return records; }, file);
}

} // namespace clampmeter
