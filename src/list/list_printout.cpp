// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/list_printout.h"

#include <algorithm>
#include <array>
#include <string>

namespace clampmeter {
namespace {

constexpr double kRowPitch = 400.0;
constexpr double kHeadingRow = 1200.0;
constexpr double kFooterRow = 16000.0;
/// Room for the footer's line below its top, in the larger of the fonts it may print in
/// (15 point: about 345 twips).
constexpr double kFooterHeight = 400.0;

/// Where the footer stands: 16000 twips down, or higher where the printer's margins leave
/// less paper, so that the page number and the date always print.
double footerRow(const PagePrinter& printer)
{
    return std::min(kFooterRow, printer.printableHeight() - kFooterHeight);
}

/// The lowest row a page may hold: a row's pitch above the footer, so none is printed over it.
double lastRow(const PagePrinter& printer)
{
    return footerRow(printer) - kRowPitch;
}

/// Column x positions: from 1100, advancing by 1000, 3000, 1500 and 1000.
constexpr std::array<double, 5> kColumns {1100.0, 2100.0, 5100.0, 6600.0, 7600.0};
constexpr std::array<std::string_view, 5> kHeadings {"NO.", "FUN", "DATA", "UNIT", "TIME"};

void printPageHeader(PagePrinter& printer)
{
    printer.setPage(PaperOrientation::Portrait);
    chooseArial(printer, 24.0, true);
    printer.text(2200.0, 400.0, "KR-6080 Data Report");
    printer.setFontSize(15.0);
    for (std::size_t c = 0; c < kColumns.size(); ++c)
        printer.text(kColumns[c], kHeadingRow, kHeadings[c]);
}

/// In the font current at that moment: the headings' after a page without rows.
void printFooter(PagePrinter& printer, int page, std::string_view date)
{
    std::string footer = "Page " + std::to_string(page) + "   (";
    footer.append(date).append(")");
    printer.text(printer.pageWidth() / 2.0 - 2000.0, footerRow(printer), footer);
}

void printRow(PagePrinter& printer, double y, const DataRecord& record)
{
    chooseArial(printer, 12.0, false);
    // A positive number prints with a blank in its sign position.
    // (Appended rather than " " + to_string, which GCC 12 at -O2 warns about wrongly.)
    std::string number = " ";
    number += std::to_string(record.No);
    printer.text(kColumns[0], y, number);
    printer.text(kColumns[1], y, record.FunText);
    printer.text(kColumns[2], y, record.DataText);
    printer.text(kColumns[3], y, record.UnitText);
    printer.text(kColumns[4], y, record.StampText);
}

} // namespace

bool printList(const VarModule& vars, PagePrinter& printer, std::string_view date)
{
    int page = 1;
    printPageHeader(printer);
    double y = kHeadingRow;
    const std::int32_t count = vars.DataCount; // readings arriving meanwhile are not printed
    for (std::int32_t i = 1; i <= count && i <= kMaxRecords && !printer.failed(); ++i) {
        y += kRowPitch;
        printRow(printer, y, vars.DataRecords[static_cast<std::size_t>(i - 1)]);
        if (y + kRowPitch > lastRow(printer)) {
            printFooter(printer, page, date);
            printer.newPage();
            printPageHeader(printer);
            y = kHeadingRow;
            ++page;
        }
    }
    if (printer.failed())
        return false;
    printFooter(printer, page, date); // a page break leaves a new page open
    printer.endDocument();
    return !printer.failed();
}

} // namespace clampmeter
