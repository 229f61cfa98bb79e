// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The list printout of a full store (1389 pages) to a PDF file through the program's printer,
// against a yardstick: Qt's PDF engine writing the same texts at the same places in a plain
// loop. Both report the growth of the process's peak resident memory while they ran.

#include "list/list_printout.h"
#include "platform/qt_page_printer.h"
#include "soak_measures.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
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

/// Peak resident memory from now on: resets the kernel's high-water mark (Linux).
class PeakMemory {
public:
    PeakMemory()
    {
        if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
            std::fputs("5", f);
            std::fclose(f);
        }
        m_start = soak::processStatus("VmRSS");
    }
    double growthMb() const
    {
        return static_cast<double>(soak::processStatus("VmHWM") - m_start) / 1024.0;
    }
    double peakMb() const { return static_cast<double>(soak::processStatus("VmHWM")) / 1024.0; }

private:
    long m_start = 0;
};

/// What both benchmarks start from: a full store, a folder for the PDF, the memory mark.
struct Run {
    explicit Run(const char* fileName)
        : path(dir.filePath(QString::fromLatin1(fileName)))
    {
        fillStore(*vars);
    }

    void report(benchmark::State& state) const
    {
        state.counters["file_MB"] = static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0);
        state.counters["peak_growth_MB"] = memory.growthMb();
        state.counters["peak_MB"] = memory.peakMb();
    }

    std::unique_ptr<VarModule> vars = std::make_unique<VarModule>();
    QTemporaryDir dir;
    QString path;
    PeakMemory memory; // last: marks the start once the store is full
};

void BM_ListPrintoutToPdf(benchmark::State& state)
{
    const Run run("report.pdf");
    for (auto _ : state) {
        auto printer = QtPagePrinter::pdfFile(run.path, QStringLiteral("KR-6080 Data Report"));
        if (!printList(*run.vars, *printer, kDate))
            state.SkipWithError("the printout failed");
    }
    run.report(state);
}

/// The yardstick: the same texts at the same device positions, fonts chosen once per kind
/// of line, no printer interface in between.
class PlainReport {
public:
    explicit PlainReport(const QString& path)
    {
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_printer.setOutputFileName(path);
        m_printer.setFullPage(true);
        m_printer.setPageSize(QPageSize(QPageSize::A4));
        m_painter.begin(&m_printer);
        m_scale = m_printer.resolution() / 1440.0;
    }

    void write(const VarModule& vars)
    {
        int row = 0;
        header();
        for (int i = 0; i < vars.DataCount; ++i) {
            const DataRecord& r = vars.DataRecords[static_cast<std::size_t>(i)];
            const double y = 1600 + 400.0 * row;
            put(kColumns[0], y, QLatin1Char(' ') + QString::number(r.No));
            put(kColumns[1], y, QString::fromStdString(r.FunText));
            put(kColumns[2], y, QString::fromStdString(r.DataText));
            put(kColumns[3], y, QString::fromStdString(r.UnitText));
            put(kColumns[4], y, QString::fromStdString(r.StampText));
            if (++row == 36) {
                footer();
                m_printer.newPage();
                ++m_page;
                row = 0;
                header();
            }
        }
        footer();
        m_painter.end();
    }

private:
    static constexpr double kColumns[] = {1100, 2100, 5100, 6600, 7600};

    void font(double points, bool bold)
    {
        QFont f(QStringLiteral("Arial"));
        f.setPointSizeF(points);
        f.setBold(bold);
        m_painter.setFont(f);
        m_ascent = m_painter.fontMetrics().ascent();
    }
    void put(double x, double y, const QString& text)
    {
        m_painter.drawText(QPointF(x * m_scale, y * m_scale + m_ascent), text);
    }
    void header()
    {
        font(24, true);
        put(2200, 400, QStringLiteral("KR-6080 Data Report"));
        font(15, true);
        const char* headings[] = {"NO.", "FUN", "DATA", "UNIT", "TIME"};
        for (int c = 0; c < 5; ++c)
            put(kColumns[c], 1200, QString::fromLatin1(headings[c]));
        font(12, false);
    }
    void footer()
    {
        put(11906 / 2.0 - 2000, 16000,
            QStringLiteral("Page %1   (%2)").arg(m_page).arg(QLatin1String(kDate)));
    }

    QPrinter m_printer {QPrinter::HighResolution};
    QPainter m_painter;
    double m_scale = 1.0;
    double m_ascent = 0.0;
    int m_page = 1;
};

void BM_PlainQtPdfLoop(benchmark::State& state)
{
    const Run run("plain.pdf");
    for (auto _ : state)
        PlainReport(run.path).write(*run.vars);
    run.report(state);
}

BENCHMARK(BM_ListPrintoutToPdf)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_PlainQtPdfLoop)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace
} // namespace clampmeter
