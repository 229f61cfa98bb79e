// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/export_writer.h"

#include "list/chunked_line_writer.h"
#include "list/record_number.h"

namespace clampmeter {

bool writeExport(const VarModule& vars, OutputFile& file)
{
    ChunkedLineWriter out(file);
    out.line().append(kExportHeader);
    if (!out.endLine())
        return false;

    const std::int32_t count = vars.DataCount;
    for (std::int32_t index = 0; index < count; ++index) {
        const DataRecord& record = vars.DataRecords[static_cast<std::size_t>(index)];
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

} // namespace clampmeter
