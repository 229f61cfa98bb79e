// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The text report and the export with records of any text: no crash, one line per record
// after the header when no text breaks a line, and the same bytes every time.

#include "fuzz_check.h"
#include "list/export_writer.h"
#include "list/text_report_writer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace {

using namespace clampmeter;
using fuzz::check;

class MemoryFile final : public OutputFile {
public:
    bool write(std::string_view bytes) override
    {
        content.append(bytes);
        return true;
    }
    bool commit() override { return true; }
    std::string errorText() const override { return {}; }
    std::string content;
};

class FixedClock final : public CaptureClock {
public:
    CaptureTime now() override { return {"10/12/26", "14:03:07"}; }
};

/// A text of 0 … 47 bytes: its length, then its bytes.
std::string shortText(fuzz::ByteReader& input)
{
    return input.text(input.byte() % 48);
}

std::size_t lineBreaks(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

VarModule& store()
{
    static const auto vars = std::make_unique<VarModule>();
    return *vars;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    VarModule& vars = store();
    fuzz::ByteReader input(data, size);
    bool plainTexts = true;
    vars.DataCount = 0;
    while (!input.done() && vars.DataCount < 64) {
        DataRecord& r = vars.DataRecords[static_cast<std::size_t>(vars.DataCount)];
        r.No = ++vars.DataCount;
        for (std::string* text : {&r.FunText, &r.DataText, &r.UnitText, &r.DateText, &r.TimeText}) {
            *text = shortText(input);
            plainTexts = plainTexts && text->find_first_of("\r\n") == std::string::npos;
        }
        r.StampText = r.DateText + "\\" + r.TimeText;
        r.Value = static_cast<double>(input.byte()) - 128.0;
    }

    FixedClock clock;
    MemoryFile report;
    MemoryFile reportAgain;
    MemoryFile exported;
    check(writeTextReport(vars, clock, report), "the report failed on a working file");
    check(writeTextReport(vars, clock, reportAgain), "the report failed on a working file");
    check(report.content == reportAgain.content, "the same records gave two reports");
    check(writeExport(vars, exported), "the export failed on a working file");
    if (plainTexts) {
        const auto records = static_cast<std::size_t>(vars.DataCount);
        check(lineBreaks(exported.content) == records + 1, "export: not one line per record");
        check(lineBreaks(report.content) == records + 2, "report: not one line per record");
    }
    return 0;
}
