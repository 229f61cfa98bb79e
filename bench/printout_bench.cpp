// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The list printout of a full store (1389 pages) to a PDF file through the program's printer,
// against a yardstick: Qt's PDF engine writing the same texts at the same places in a plain
// loop. Both report the growth of the process's peak resident memory while they ran.

#include "list/list_printout.h"
#include "platform/qt_page_printer.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

namespace clampmeter {
namespace {

constexpr int kRecords = 50000;
const char* const kDate = "10/12/26";

void fillStore(VarModule& vars)
{
    for (int i = 0; i < kRecords; ++i) {
        DataRecord& r = vars.DataRecords[static_cast<std::size_t>(i)];
        r.No = i + 1;
        r.FunText = "ACV";
        r.DataText = std::to_string(200 + i % 50) + ".8";
        r.UnitText = "V";
        r.StampText = "10/12/26\\14:03:07";
    }
    vars.DataCount = kRecords;
}

/// A value of /proc/self/status in kB ("VmHWM", "VmRSS"); 0 where there is none.
long statusKb(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::stol(line.substr(key.size() + 1));
    return 0;
}

/// Peak resident memory from now on: resets the kernel's high-water mark (Linux).
class PeakMemory {
public:
    PeakMemory()
    {
        if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
            std::fputs("5", f);
            std::fclose(f);
        }
        m_start = statusKb("VmRSS");
    }
    double growthMb() const { return static_cast<double>(statusKb("VmHWM") - m_start) / 1024.0; }
    double peakMb() const { return static_cast<double>(statusKb("VmHWM")) / 1024.0; }

private:
    long m_start = 0;
};

void report(benchmark::State& state, const QString& path, const PeakMemory& memory)
{
    state.counters["file_MB"] = static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0);
    state.counters["peak_growth_MB"] = memory.growthMb();
    state.counters["peak_MB"] = memory.peakMb();
}

void BM_ListPrintoutToPdf(benchmark::State& state)
{
    auto vars = std::make_unique<VarModule>();
    fillStore(*vars);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    const PeakMemory memory;
    for (auto _ : state) {
        auto printer = QtPagePrinter::pdfFile(path, QStringLiteral("KR-6080 Data Report"));
        if (!printList(*vars, *printer, kDate))
            state.SkipWithError("the printout failed");
    }
    report(state, path, memory);
}

/// The yardstick: the same texts at the same device positions, fonts chosen once per kind
/// of line, no printer interface in between.
void BM_PlainQtPdfLoop(benchmark::State& state)
{
    auto vars = std::make_unique<VarModule>();
    fillStore(*vars);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plain.pdf"));
    const PeakMemory memory;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setFullPage(true);
        printer.setPageSize(QPageSize(QPageSize::A4));
        QPainter painter(&printer);
        const double s = printer.resolution() / 1440.0;
        auto font = [&](double points, bool bold) {
            QFont f(QStringLiteral("Arial"));
            f.setPointSizeF(points);
            f.setBold(bold);
            painter.setFont(f);
            return painter.fontMetrics().ascent();
        };
        auto put = [&](double x, double y, double ascent, const QString& text) {
            painter.drawText(QPointF(x * s, y * s + ascent), text);
        };
        const double columns[] = {1100, 2100, 5100, 6600, 7600};
        const char* headings[] = {"NO.", "FUN", "DATA", "UNIT", "TIME"};
        int page = 1;
        int row = 0;
        double ascent = 0;
        auto header = [&] {
            put(2200, 400, font(24, true), QStringLiteral("KR-6080 Data Report"));
            const double a = font(15, true);
            for (int c = 0; c < 5; ++c)
                put(columns[c], 1200, a, QString::fromLatin1(headings[c]));
            ascent = font(12, false);
        };
        auto footer = [&] {
            put(11906 / 2.0 - 2000, 16000, ascent,
                QStringLiteral("Page %1   (%2)").arg(page).arg(QLatin1String(kDate)));
        };
        header();
        for (int i = 0; i < vars->DataCount; ++i) {
            const DataRecord& r = vars->DataRecords[static_cast<std::size_t>(i)];
            const double y = 1600 + 400.0 * row;
            put(columns[0], y, ascent, QLatin1Char(' ') + QString::number(r.No));
            put(columns[1], y, ascent, QString::fromStdString(r.FunText));
            put(columns[2], y, ascent, QString::fromStdString(r.DataText));
            put(columns[3], y, ascent, QString::fromStdString(r.UnitText));
            put(columns[4], y, ascent, QString::fromStdString(r.StampText));
            if (++row == 36) {
                footer();
                printer.newPage();
                ++page;
                row = 0;
                header();
            }
        }
        footer();
        painter.end();
    }
    report(state, path, memory);
}

BENCHMARK(BM_ListPrintoutToPdf)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_PlainQtPdfLoop)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace
} // namespace clampmeter
