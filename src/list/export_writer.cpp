// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/export_writer.h"

#include "list/chunked_line_writer.h"
#include "list/record_number.h"

namespace clampmeter {
namespace {

/// `records` is asked for the records only once the header is written.
/// Appends a field on the row's one line: a line end or another control character (which the
/// program never puts into a text, but a damaged journal read back may hold) would break the
/// row, so it goes in as a space.
std::string& appendField(std::string& row, std::string_view text)
{
    const std::size_t from = row.size();
    row.append(text);
    for (std::size_t i = from; i < row.size(); ++i) {
        if (static_cast<unsigned char>(row[i]) < 0x20 || row[i] == 0x7f)
            row[i] = ' ';
    }
    return row;
}

template <typename Records> bool writeRecords(Records records, OutputFile& file)
{
    ChunkedLineWriter out(file);
    out.line().append(kExportHeader);
    if (!out.endLine())
        return false;

    for (const DataRecord& record : records()) {
        std::string& row = out.line().append(RecordNumber(record.No).withSignBlank());
        for (const std::string* text : {&record.FunText, &record.DataText, &record.UnitText,
                 &record.TimeText, &record.DateText})
            appendField(row.append(1, ';'), *text);
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
