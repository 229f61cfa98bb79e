// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A machine without a printer: the print server named below has no socket. Set before
// main(), so before the print server library first looks for its server.

#include "platform/qt_page_printer.h"

#include "printing_fixture.h"

#include <cstdlib>

namespace clampmeter::test {
namespace {

const bool kNoPrintServer
    = setenv("CUPS_SERVER", "/nonexistent/clampmeter-no-print-server.sock", 1) == 0;

TEST(NoPrinterTest, TheDefaultPrinterHasFailedBeforeAnythingIsDrawn)
{
    ASSERT_TRUE(kNoPrintServer);
    auto printer = QtPagePrinter::systemDefault(QStringLiteral("nowhere"));
    EXPECT_TRUE(printer->failed());
    EXPECT_FALSE(printer->failureReason().isEmpty());
    printer->text(100, 100, "lost");
    printer->endDocument();
    EXPECT_EQ(printer->jobId(), 0);
}

TEST_F(PrintingProgramTest, EachPrintButtonSaysOnceThatItCouldNotPrint)
{
    receive(3);
    printList();
    printGraph();
    ASSERT_EQ(messages.size(), 2U);
    EXPECT_EQ(messages[0].title, "KR-610");
    EXPECT_EQ(messages[0].text, "print data error!");
    EXPECT_EQ(messages[1].title, "KR-610");
    EXPECT_EQ(messages[1].text, "printer error!");
    EXPECT_EQ(vars->DataCount, 3) << "the records are untouched";
}

} // namespace
} // namespace clampmeter::test
