// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The printouts on Windows' default printer, through Qt's printer driver: a finished document
// reaches the printer, one abandoned half-way is aborted and never does. Under wine the
// default printer is the print server's default queue (scripts/print-server), whose job
// control files this test reads to see what arrived (as root: /var/spool/cups is the server's).
// Where there is no such server to read, the tests skip.

#include "platform/qt_page_printer.h"

#include "under_wine.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPrinterInfo>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace clampmeter {
namespace {

const std::filesystem::path kServerJobs = "Z:\\var\\spool\\cups";

/// True once the print server holds a job of that name.
bool serverHasJob(const std::string& name)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(kServerJobs, error)) {
        if (entry.path().filename().string().rfind('c', 0) != 0)
            continue;
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string control {std::istreambuf_iterator<char>(file), {}};
        if (control.find(name) != std::string::npos)
            return true;
    }
    return false;
}

void drawAPage(PagePrinter& printer, const std::string& title)
{
    printer.setPage(PaperOrientation::Portrait);
    printer.setFontName("Arial");
    printer.setFontSize(12.0);
    printer.text(1440, 1440, title);
    printer.line(1440, 2000, 10000, 2000);
}

class WindowsPrinter : public testing::Test {
protected:
    void SetUp() override
    {
        if (QPrinterInfo::defaultPrinter().isNull())
            GTEST_SKIP() << "no default printer (scripts/print-server makes one for wine)";
        std::error_code error;
        if (!std::filesystem::is_directory(kServerJobs, error))
            GTEST_SKIP() << "the print server's jobs cannot be read here";
    }

    /// A document name of this run alone: the print server is the machine's.
    static std::string uniqueName(const char* what)
    {
        return std::string("clampmeter ") + what + " "
            + std::to_string(QCoreApplication::applicationPid()) + "-"
            + std::to_string(QDateTime::currentMSecsSinceEpoch());
    }

    static void printFinished(const std::string& name)
    {
        auto printer = QtPagePrinter::systemDefault(QString::fromStdString(name));
        drawAPage(*printer, name);
        printer->endDocument();
        ASSERT_FALSE(printer->failed()) << printer->failureReason().toStdString();
    }
};

TEST_F(WindowsPrinter, AFinishedDocumentReachesTheDefaultPrinter)
{
    const std::string finished = uniqueName("finished");
    printFinished(finished);
    EXPECT_TRUE(QTest::qWaitFor([&] { return serverHasJob(finished); }, 30000));
}

TEST_F(WindowsPrinter, AnAbandonedDocumentNeverReachesIt)
{
    if (test::runningUnderWine())
        GTEST_SKIP() << "wine's printer driver has no AbortDoc: the document goes to the queue "
                        "when Qt ends it; Windows' spooler drops the job";
    const std::string abandoned = uniqueName("abandoned");
    {
        auto printer = QtPagePrinter::systemDefault(QString::fromStdString(abandoned));
        drawAPage(*printer, abandoned);
        printer->newPage();
        ASSERT_FALSE(printer->failed()) << printer->failureReason().toStdString();
        // Destroyed unfinished, as when a printout stops half-way.
    }
    // A finished one sent after it shows when the abandoned one would have arrived.
    const std::string finished = uniqueName("finished");
    printFinished(finished);
    ASSERT_TRUE(QTest::qWaitFor([&] { return serverHasJob(finished); }, 30000));
    QTest::qWait(1000);
    EXPECT_FALSE(serverHasJob(abandoned));
}

} // namespace
} // namespace clampmeter
