// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/qt_page_printer.h"

#include "pdf_tools.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

namespace clampmeter {
namespace {

constexpr double kPointsPerTwip = 1.0 / 20.0;

class PagePrinterFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!test::havePdfTools())
            GTEST_SKIP() << "pdfinfo and pdftotext are missing (scripts/bootstrap --dev installs "
                            "poppler-utils)";
        ASSERT_TRUE(dir.isValid());
    }

    static const test::PdfWord* find(const std::vector<test::PdfWord>& words, const char* text)
    {
        const auto it = std::find_if(words.begin(), words.end(),
            [text](const test::PdfWord& word) { return word.text == QLatin1String(text); });
        return it == words.end() ? nullptr : &*it;
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("page.pdf"));
};

TEST_F(PagePrinterFileTest, TextSitsWithItsCellCornerAtTheTwipsGivenOnEveryPage)
{
    auto printer = QtPagePrinter::pdfFile(path, QStringLiteral("places"));
    printer->setPage(PaperOrientation::Portrait);
    EXPECT_EQ(printer->pageWidth(), 11906);
    chooseArial(*printer, 12.0, false);
    printer->text(1440, 1440, "Alpha");
    printer->text(4320, 5760, "Beta");
    printer->line(1440, 8000, 10000, 8000);
    printer->newPage();
    printer->setPage(PaperOrientation::Portrait);
    printer->text(1440, 1440, "Gamma");
    printer->endDocument();
    ASSERT_FALSE(printer->failed()) << printer->failureReason().toStdString();

    const std::optional<test::PdfInfo> info = test::pdfInfo(path);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->pages, 2);
    EXPECT_NEAR(info->width, 595.3, 0.5);
    EXPECT_NEAR(info->height, 841.9, 0.5);

    const std::vector<test::PdfWord> words = test::pdfWords(path);
    const test::PdfWord* alpha = find(words, "Alpha");
    const test::PdfWord* beta = find(words, "Beta");
    const test::PdfWord* gamma = find(words, "Gamma");
    ASSERT_TRUE(alpha && beta && gamma);
    // A file has no unprintable margin: 1440 twips is one inch from the paper's corner. The
    // box starts a glyph's side bearing right of the cell and at the font's ascent.
    EXPECT_NEAR(alpha->xMin, 1440 * kPointsPerTwip, 1.0);
    EXPECT_NEAR(alpha->yMin, 1440 * kPointsPerTwip, 1.0);
    EXPECT_NEAR(beta->xMin - alpha->xMin, (4320 - 1440) * kPointsPerTwip, 0.5);
    EXPECT_NEAR(beta->yMin - alpha->yMin, (5760 - 1440) * kPointsPerTwip, 0.1);
    EXPECT_EQ(gamma->page, 2);
    EXPECT_NEAR(gamma->yMin, alpha->yMin, 0.1);
    EXPECT_NEAR(alpha->yMax - alpha->yMin, 12.0 * 1.15, 1.0) << "Arial 12 pt";
}

TEST_F(PagePrinterFileTest, LandscapeIsA4Across)
{
    auto printer = QtPagePrinter::pdfFile(path, QStringLiteral("across"));
    printer->setPage(PaperOrientation::Landscape);
    EXPECT_EQ(printer->pageWidth(), 16838);
    printer->setLineStyle(LineStyle::Dotted);
    printer->line(3456, 2200, 3456, 10375);
    printer->setSolidFill();
    printer->circle(3471, 10345, 30);
    printer->endDocument();
    ASSERT_FALSE(printer->failed());

    const std::optional<test::PdfInfo> info = test::pdfInfo(path);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->pages, 1);
    EXPECT_NEAR(info->width, 841.9, 0.5);
    EXPECT_NEAR(info->height, 595.3, 0.5);
}

TEST_F(PagePrinterFileTest, DrawingIsCutAtTheClipUntilItEnds)
{
    auto printer = QtPagePrinter::pdfFile(path, QStringLiteral("cut"));
    printer->setPage(PaperOrientation::Portrait);
    printer->setSolidFill();
    // An inch-wide clip at one inch; a circle of an inch's radius on its bottom-right corner
    // and a line across it; then, unclipped, a line an inch further down.
    printer->clipTo(1440, 1440, 1440, 1440);
    printer->circle(2880, 2880, 1440);
    printer->line(0, 2160, 5760, 2160);
    printer->endClip();
    printer->line(0, 4320, 5760, 4320);
    printer->endDocument();
    ASSERT_FALSE(printer->failed()) << printer->failureReason().toStdString();

    const QImage page = test::pdfFirstPage(path, 72); // one pixel a point, 72 an inch
    if (page.isNull())
        GTEST_SKIP() << "pdftoppm is missing (scripts/bootstrap installs poppler-utils)";
    const auto ink
        = [&](int x, int y) { return qGray(page.pixel(x, y)) < 240; }; // hairlines are grey
    EXPECT_TRUE(ink(130, 130)) << "the circle inside the clip";
    EXPECT_FALSE(ink(160, 160)) << "the circle beyond the clip's corner";
    EXPECT_FALSE(ink(180, 140)) << "the circle right of the clip";
    EXPECT_TRUE(ink(76, 108)) << "the line inside the clip, left of the circle";
    EXPECT_FALSE(ink(40, 108)) << "the line left of the clip";
    EXPECT_FALSE(ink(250, 108)) << "the line right of the clip";
    EXPECT_TRUE(ink(40, 216)) << "after the clip ends, nothing is cut";
    EXPECT_TRUE(ink(250, 216));
}

TEST_F(PagePrinterFileTest, AnAbandonedDocumentLeavesNoFile)
{
    {
        auto printer = QtPagePrinter::pdfFile(path, QStringLiteral("abandoned"));
        printer->setPage(PaperOrientation::Portrait);
        chooseArial(*printer, 12.0, false);
        printer->text(1440, 1440, "half a report");
        printer->newPage();
    }
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(PagePrinterFileTest, AFileThatCannotBeWrittenFailsAtTheFirstDrawingAndStaysFailed)
{
    auto printer = QtPagePrinter::pdfFile(
        dir.filePath(QStringLiteral("no-such-folder/page.pdf")), QStringLiteral("nowhere"));
    printer->setPage(PaperOrientation::Portrait);
    EXPECT_FALSE(printer->failed()) << "nothing is begun before the first drawing";
    chooseArial(*printer, 12.0, false);
    printer->text(1440, 1440, "lost");
    EXPECT_TRUE(printer->failed());
    EXPECT_FALSE(printer->failureReason().isEmpty());
    printer->newPage();
    printer->line(0, 0, 100, 100);
    printer->endDocument();
    EXPECT_TRUE(printer->failed());
    EXPECT_EQ(printer->jobId(), 0);
}

} // namespace
} // namespace clampmeter
