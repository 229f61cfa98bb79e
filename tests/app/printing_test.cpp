// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Both printouts from the program's Print buttons to the print server's PDF queue, the
// default printer of this test program alone: the document the server received (Qt's PDF,
// read with pdftotext) and the PDF the queue printed (counted with pdfinfo).

#include "pdf_tools.h"
#include "printing_fixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QSet>
#include <QThread>

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace clampmeter::test {
namespace {

// The print server library takes PRINTER as the default printer: the tests print to the
// PDF queue, never to a printer of the user's own, whatever the machine's default. Set
// before main(), so before the library first looks.
const bool kPrintsToThePdfQueue = setenv("PRINTER", "PDF", 1) == 0;

const QString kSpool = QStringLiteral("/var/spool/cups");

class RealPrinterTest : public PrintingProgramTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(kPrintsToThePdfQueue);
        if (QPrinterInfo::defaultPrinter().isNull())
            GTEST_SKIP() << "no print server with a PDF queue: scripts/print-server starts one";
        if (!havePdfTools())
            GTEST_SKIP() << "pdfinfo and pdftotext are missing (scripts/bootstrap --dev installs "
                            "poppler-utils)";
        if (!QDir(kSpool).isReadable())
            GTEST_SKIP() << "the print server's job files in " << kSpool.toStdString()
                         << " are readable only by root";
        PrintingProgramTest::SetUp();
        before = jobFiles();
    }

    static QSet<QString> jobFiles()
    {
        const QStringList names = QDir(kSpool).entryList({QStringLiteral("d*-001")}, QDir::Files);
        return {names.begin(), names.end()};
    }

    /// The document with `title` that the server received since SetUp (other tests may be
    /// printing at the same time).
    QString newJobFile(const QString& title) const
    {
        QStringList found;
        for (const QString& name : jobFiles() - before) {
            const QString path = kSpool + QLatin1Char('/') + name;
            if (pdfText(path).value_or(QString()).contains(title))
                found << path;
        }
        return found.size() == 1 ? found.first() : QString();
    }

    /// The PDF the queue printed for a job, once complete; removed when the test ends.
    std::optional<PdfInfo> printedPdf(const QString& jobFile)
    {
        const QString id = QString::number(jobFile.section(QLatin1Char('/'), -1).mid(1, 5).toInt());
        const passwd* user = getpwuid(getuid());
        const QDir out(
            QString::fromLocal8Bit(user != nullptr ? user->pw_dir : "") + QStringLiteral("/PDF"));
        const QDeadlineTimer deadline(60000);
        while (!deadline.hasExpired()) {
            const QStringList found
                = out.entryList({QStringLiteral("*job_") + id + QStringLiteral(".pdf")});
            if (!found.isEmpty()) {
                printed = out.filePath(found.first());
                if (std::optional<PdfInfo> info = pdfInfo(printed))
                    return info;
            }
            QThread::msleep(100);
        }
        return std::nullopt;
    }

    void TearDown() override
    {
        if (!printed.isEmpty())
            QFile::remove(printed);
    }

    /// The list report of `records` readings, printed with the Print button: the document
    /// the server received, or an empty path.
    QString printedList(int records)
    {
        receive(records);
        printList();
        EXPECT_TRUE(messages.empty()) << messages.front().text.toStdString();
        return newJobFile(QStringLiteral("KR-6080 Data Report"));
    }

    QSet<QString> before;
    QString printed;
};

TEST_F(RealPrinterTest, TheListReportReachesThePrinterPagedWithItsTitleHeadingsRowsAndFooters)
{
    const QString job = printedList(37);
    ASSERT_FALSE(job.isEmpty()) << "one new job on the server";
    const std::optional<PdfInfo> sent = pdfInfo(job);
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->pages, 2);
    EXPECT_LT(sent->width, sent->height) << "portrait";

    const QString text = pdfText(job).value_or(QString());
    EXPECT_EQ(text.count(QStringLiteral("KR-6080 Data Report")), 2);
    EXPECT_EQ(
        text.count(QRegularExpression(QStringLiteral("NO\\.\\s+FUN\\s+DATA\\s+UNIT\\s+TIME"))), 2)
        << "the headings on both pages";
    const DataRecord& first = vars->DataRecords[0];
    EXPECT_TRUE(text.contains(QString::fromStdString(first.DataText))) << first.DataText;
    EXPECT_TRUE(text.contains(QStringLiteral("01/05/24\\14:03:07")));
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Page 1\\s+\\(01/05/24\\)"))));
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Page 2\\s+\\(01/05/24\\)"))));

    const std::optional<PdfInfo> paper = printedPdf(job);
    ASSERT_TRUE(paper) << "the queue printed the job";
    EXPECT_EQ(paper->pages, 2);
    EXPECT_NEAR(paper->width, 595.0, 1.0) << "A4";
}

TEST_F(RealPrinterTest, TheGraphPageReachesThePrinterAcrossWithItsTitleTimeAndLabels)
{
    receive(5);
    printGraph();
    EXPECT_TRUE(messages.empty()) << messages.front().text.toStdString();

    const QString job = newJobFile(QStringLiteral("KR-610 Graph Report"));
    ASSERT_FALSE(job.isEmpty()) << "one new job on the server";
    const std::optional<PdfInfo> sent = pdfInfo(job);
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->pages, 1);
    EXPECT_GT(sent->width, sent->height) << "landscape";

    const QString text = pdfText(job).value_or(QString());
    EXPECT_TRUE(text.contains(QStringLiteral("KR-610 Graph Report")));
    EXPECT_TRUE(text.contains(QStringLiteral("01/05/24 14:03:07")));
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("\\b600\\b"))))
        << "the top Y label";

    const std::optional<PdfInfo> paper = printedPdf(job);
    ASSERT_TRUE(paper) << "the queue printed the job";
    EXPECT_EQ(paper->pages, 1);
}

/// The list report on a queue whose printer keeps 20 mm unprintable at the top and at the
/// bottom of the sheet: its footers must still be on the paper, below every row.
class WideMarginsPrinterTest : public RealPrinterTest {
protected:
    void SetUp() override
    {
        m_oldDestination = qgetenv("LPDEST");
        qputenv("LPDEST", kQueue.toLatin1()); // the print server's default for this process
        if (QPrinterInfo::printerInfo(kQueue).isNull())
            GTEST_SKIP() << "no queue " << kQueue.toStdString()
                         << ": scripts/print-server adds it beside the PDF queue";
        RealPrinterTest::SetUp();
    }
    void TearDown() override
    {
        RealPrinterTest::TearDown();
        if (m_oldDestination.isNull())
            qunsetenv("LPDEST");
        else
            qputenv("LPDEST", m_oldDestination);
    }

    static inline const QString kQueue = QStringLiteral("PDF-margins");
    static constexpr double kMarginPoints = 57.0; // 20 mm

private:
    QByteArray m_oldDestination;
};

TEST_F(WideMarginsPrinterTest, TheListReportsFootersStayOnThePaperBelowEveryRow)
{
    ASSERT_EQ(QPrinterInfo::defaultPrinter().printerName(), kQueue);
    const QString job = printedList(37);
    ASSERT_FALSE(job.isEmpty()) << "one new job on the server";
    const std::optional<PdfInfo> sent = pdfInfo(job);
    ASSERT_TRUE(sent);
    const double printableBottom = sent->height - kMarginPoints;
    const std::vector<PdfWord> words = pdfWords(job);
    for (int page = 1; page <= sent->pages; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        double footerTop = -1.0;
        double lowestRow = 0.0;
        for (const PdfWord& word : words) {
            if (word.page != page)
                continue;
            if (word.text == QLatin1String("Page")) {
                footerTop = word.yMin;
                EXPECT_LE(word.yMax, printableBottom) << "the footer is on the printable paper";
            } else if (word.text.contains(QLatin1String("14:03:07"))) {
                lowestRow = std::max(lowestRow, word.yMax);
            }
        }
        ASSERT_GE(footerTop, 0.0) << "a footer";
        EXPECT_LT(lowestRow, footerTop) << "no row reaches the footer";
    }
    EXPECT_EQ(sent->pages, 2);
}

} // namespace
} // namespace clampmeter::test
