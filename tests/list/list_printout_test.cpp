// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/list_printout.h"

#include "recording_printer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace clampmeter {
namespace {

using test::PrintedFont;
using test::PrintedItem;
using test::RecordingPrinter;

class ListPrintoutTest : public testing::Test {
protected:
    void store(std::int32_t count)
    {
        for (std::int32_t i = 0; i < count; ++i) {
            DataRecord& r = vars->DataRecords[static_cast<std::size_t>(i)];
            r.No = i + 1;
            r.FunText = "FUN_VAC";
            r.DataText = "229.8";
            r.UnitText = "v";
            r.StampText = "01/05/24\\14:03:07";
        }
        vars->DataCount = count;
    }

    /// Rows of a page: the texts in the NO. column below the headings.
    int rowsOn(int page) const
    {
        int rows = 0;
        for (const PrintedItem& item : printer().textsOn(page))
            rows += item.x == 1100.0 && item.y > 1200.0 ? 1 : 0;
        return rows;
    }
    PrintedItem footerOf(int page) const { return printer().textsOn(page).back(); }

    std::unique_ptr<VarModule> vars = std::make_unique<VarModule>();
    void freshPrinter() { m_printer = std::make_unique<RecordingPrinter>(); }
    RecordingPrinter& printer() const { return *m_printer; }

private:
    std::unique_ptr<RecordingPrinter> m_printer = std::make_unique<RecordingPrinter>();
};

const PrintedFont kHeadingFont {"Arial", 15.0, true};
const PrintedFont kRowFont {"Arial", 12.0, false};

TEST_F(ListPrintoutTest, PagesBreakAfterTheirThirtySixthRow)
{
    const struct {
        std::int32_t records;
        std::vector<int> rowsPerPage;
    } cases[] = {
        {0, {0}},
        {35, {35}},
        {36, {36, 0}},
        {37, {36, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.records) + " records");
        freshPrinter();
        store(c.records);
        ASSERT_TRUE(printList(*vars, printer(), "10/12/26"));
        EXPECT_TRUE(printer().ended);
        ASSERT_EQ(printer().pages, static_cast<int>(c.rowsPerPage.size()));
        for (int page = 1; page <= printer().pages; ++page) {
            EXPECT_EQ(rowsOn(page), c.rowsPerPage[static_cast<std::size_t>(page - 1)]);
            const PrintedItem footer = footerOf(page);
            EXPECT_EQ(footer.text, "Page " + std::to_string(page) + "   (10/12/26)");
            EXPECT_EQ(footer.x, 3953.0);
            EXPECT_EQ(footer.y, 16000.0);
            // A page without rows keeps the headings' font for its footer.
            EXPECT_EQ(footer.font, rowsOn(page) == 0 ? kHeadingFont : kRowFont);
        }
        // The page set-up is repeated on every page.
        EXPECT_EQ(printer().orientations,
            std::vector<PaperOrientation>(c.rowsPerPage.size(), PaperOrientation::Portrait));
    }
}

TEST_F(ListPrintoutTest, EveryPageCarriesTitleHeadingsAndRowsAtTheirPlaces)
{
    store(37);
    ASSERT_TRUE(printList(*vars, printer(), "10/12/26"));
    for (int page = 1; page <= 2; ++page) {
        const std::vector<PrintedItem> texts = printer().textsOn(page);
        ASSERT_GE(texts.size(), 6U);
        EXPECT_EQ(texts[0].text, "KR-6080 Data Report");
        EXPECT_EQ(texts[0].x, 2200.0);
        EXPECT_EQ(texts[0].y, 400.0);
        EXPECT_EQ(texts[0].font, (PrintedFont {"Arial", 24.0, true}));
        const char* headings[] = {"NO.", "FUN", "DATA", "UNIT", "TIME"};
        const double columns[] = {1100, 2100, 5100, 6600, 7600};
        for (int c = 0; c < 5; ++c) {
            EXPECT_EQ(texts[static_cast<std::size_t>(1 + c)].text, headings[c]);
            EXPECT_EQ(texts[static_cast<std::size_t>(1 + c)].x, columns[c]);
            EXPECT_EQ(texts[static_cast<std::size_t>(1 + c)].y, 1200.0);
            EXPECT_EQ(texts[static_cast<std::size_t>(1 + c)].font, kHeadingFont);
        }
    }
    const std::vector<PrintedItem> first = printer().textsOn(1);
    const std::string row7[] = {" 7", "FUN_VAC", "229.8", "v", "01/05/24\\14:03:07"};
    for (int c = 0; c < 5; ++c) {
        const PrintedItem& cell = first[static_cast<std::size_t>(6 + 6 * 5 + c)];
        EXPECT_EQ(cell.text, row7[c]);
        EXPECT_EQ(cell.y, 1600.0 + 6 * 400.0);
        EXPECT_EQ(cell.font, kRowFont);
    }
    EXPECT_EQ(printer().textsOn(2)[6].text, " 37");
    EXPECT_EQ(printer().textsOn(2)[6].y, 1600.0);
}

TEST_F(ListPrintoutTest, AFullStoreFillsThirteenHundredEightyNinePages)
{
    store(kMaxRecords);
    ASSERT_TRUE(printList(*vars, printer(), "10/12/26"));
    EXPECT_EQ(printer().pages, 1389);
    EXPECT_EQ(rowsOn(1389), 32);
    EXPECT_EQ(footerOf(1389).text, "Page 1389   (10/12/26)");
}

TEST_F(ListPrintoutTest, TheFooterSitsUnderTheMiddleOfWhatThePrinterReports)
{
    printer().width = 11000;
    ASSERT_TRUE(printList(*vars, printer(), "x"));
    EXPECT_EQ(footerOf(1).x, 3500.0);
}

TEST_F(ListPrintoutTest, TheFooterStaysOnAShortPrintableAreaAndNoRowRunsIntoIt)
{
    const struct {
        int printableHeight; ///< twips: A4's 16838 less the printer's top and bottom margins
        double footerY;
        int rowsPerPage;
    } cases[] = {
        {16838, 16000.0, 36}, // printing to the edge
        {16400, 16000.0, 36}, // 7.7 mm of margins: the footer still fits where it stands
        {16300, 15900.0, 35}, // 9.5 mm
        {15700, 15300.0, 34}, // 20 mm, as some inkjets keep
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.printableHeight) + " twips printable");
        freshPrinter();
        printer().height = c.printableHeight;
        store(100);
        ASSERT_TRUE(printList(*vars, printer(), "10/12/26"));
        EXPECT_EQ(rowsOn(1), c.rowsPerPage);
        for (int page = 1; page <= printer().pages; ++page) {
            std::vector<PrintedItem> texts = printer().textsOn(page);
            const PrintedItem footer = texts.back();
            texts.pop_back();
            EXPECT_EQ(footer.y, c.footerY);
            EXPECT_LE(footer.y + 400.0, c.printableHeight) << "on the paper";
            for (const PrintedItem& row : texts)
                EXPECT_LE(row.y + 400.0, footer.y) << row.text << " runs into the footer";
        }
        int printed = 0;
        for (int page = 1; page <= printer().pages; ++page)
            printed += rowsOn(page);
        EXPECT_EQ(printed, 100) << "every record is printed";
    }
}

TEST_F(ListPrintoutTest, AFailureEndsThePrintoutAtOnceWithoutEndingTheDocument)
{
    store(100);
    for (const int failAt : {0, 5, 400}) {
        SCOPED_TRACE(failAt);
        freshPrinter();
        printer().failAtCall = failAt;
        EXPECT_FALSE(printList(*vars, printer(), "10/12/26"));
        EXPECT_FALSE(printer().ended);
        // It stops within the page header or row it was in, not after all 100 rows.
        EXPECT_LE(printer().callsAfterFailure, 20);
    }
}

} // namespace
} // namespace clampmeter
