// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/text_report_writer.h"

#include "list/chunked_line_writer.h"
#include "list/print_zones.h"
#include "list/record_number.h"

namespace clampmeter {

bool writeTextReport(const VarModule& vars, CaptureClock& clock, OutputFile& file)
{
    ChunkedLineWriter out(file);
    const CaptureTime saved = clock.now();
    PrintZoneLine(out.line()).item(kReportTitle).item(saved.date).item(saved.time);
    if (!out.endLine() || !out.endLine())
        return false;

    const std::int32_t count = vars.DataCount;
    for (std::int32_t index = 0; index < count; ++index) {
        const DataRecord& record = vars.DataRecords[static_cast<std::size_t>(index)];
        const RecordNumber number(record.No);
        PrintZoneLine(out.line())
            .item(number.withBlanks())
            .item(record.FunText)
            .item(record.DataText)
            .item(record.UnitText)
            .item(record.StampText);
        if (!out.endLine())
            return false;
    }
    return out.finish();
}

} // namespace clampmeter
