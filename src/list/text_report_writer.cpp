// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/text_report_writer.h"

#include "list/chunked_line_writer.h"
#include "list/print_zones.h"
#include "list/record_number.h"

namespace clampmeter {
namespace {

/// `records` is asked for the records only once the title is written.
template <typename Records> bool writeReport(Records records, CaptureClock& clock, OutputFile& file)
{
    ChunkedLineWriter out(file);
    const CaptureTime saved = clock.now();
    PrintZoneLine(out.line()).item(kReportTitle).item(saved.date).item(saved.time);
    if (!out.endLine() || !out.endLine())
        return false;

    for (const DataRecord& record : records()) {
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

} // namespace

bool writeTextReport(const VarModule& vars, CaptureClock& clock, OutputFile& file)
{
    return writeReport([&vars] { return storedRecords(vars); }, clock, file);
}

bool writeTextReport(std::span<const DataRecord> records, CaptureClock& clock, OutputFile& file)
{
    return writeReport([records] { return records; }, clock, file);
}

} // namespace clampmeter
