// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/qt_page_printer.h"

#include "platform/printout_abort.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPen>
#include <QPrinterInfo>
#include <QtDebug>

#include <cmath>

#ifdef CLAMPMETER_HAVE_CUPS
#include "platform/cups_job.h"
#endif

namespace clampmeter {
namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kMillimetresPerInch = 25.4;
/// Dots of a dotted line: about a quarter millimetre on, a quarter off, at any resolution
/// (Qt's own dot pattern is a device pixel long, which at 1200 dpi reads as a grey line).
constexpr double kDotsPerInch = 100.0;

QPageLayout::Orientation qtOrientation(PaperOrientation orientation)
{
    return orientation == PaperOrientation::Landscape ? QPageLayout::Landscape
                                                      : QPageLayout::Portrait;
}

} // namespace

std::unique_ptr<QtPagePrinter> QtPagePrinter::systemDefault(const QString& documentName)
{
#ifdef CLAMPMETER_HAVE_CUPS
    constexpr Route route = Route::PrintServer;
#else
    constexpr Route route = Route::PrinterDriver;
#endif
    std::unique_ptr<QtPagePrinter> printer(new QtPagePrinter(route, documentName));
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        printer->fail(QStringLiteral("there is no default printer"));
        return printer;
    }
    printer->m_printer.setPrinterName(info.printerName());
    if (route == Route::PrintServer) {
        printer->m_spool.setFileTemplate(
            QDir::tempPath() + QStringLiteral("/clampmeter-XXXXXX.prn"));
        if (!printer->m_spool.open()) {
            printer->fail(
                QStringLiteral("cannot create a spool file: ") + printer->m_spool.errorString());
            return printer;
        }
        printer->m_spool.close();
        // Not ending in .pdf, so the printer keeps its own engine and page layout.
        printer->m_printer.setOutputFileName(printer->m_spool.fileName());
    }
    return printer;
}

std::unique_ptr<QtPagePrinter> QtPagePrinter::pdfFile(
    const QString& path, const QString& documentName)
{
    std::unique_ptr<QtPagePrinter> printer(new QtPagePrinter(Route::PdfFile, documentName));
    printer->m_printer.setOutputFormat(QPrinter::PdfFormat);
    printer->m_printer.setOutputFileName(path);
    // A file has no unprintable margin: the printable area is the whole sheet.
    printer->m_printer.setFullPage(true);
    return printer;
}

QtPagePrinter::QtPagePrinter(Route route, const QString& documentName)
    : m_route(route)
    , m_printer(QPrinter::HighResolution)
{
    m_printer.setDocName(documentName);
    m_printer.setCreator(QStringLiteral("clampmeter"));
}

QtPagePrinter::~QtPagePrinter()
{
    if (m_begun && !m_ended)
        discard();
}

void QtPagePrinter::discard()
{
    m_ended = true;
    abortPrintout(m_printer);
    m_painter.end();
    if (m_route == Route::PdfFile)
        QFile::remove(m_printer.outputFileName());
    // The spool file of a print server route goes with m_spool, never sent.
}

void QtPagePrinter::fail(const QString& reason)
{
    if (m_failed)
        return;
    m_failed = true;
    m_failureReason = reason;
    qWarning().noquote() << "printing failed:" << reason;
}

bool QtPagePrinter::failed() const
{
    return m_failed || (m_begun && !m_ended && m_printer.printerState() == QPrinter::Error);
}

void QtPagePrinter::setPage(PaperOrientation orientation)
{
    if (failed())
        return;
    // Once the document has begun, a change applies from the next page on.
    const bool sized = m_begun || m_printer.setPageSize(QPageSize(QPageSize::A4));
    if (!sized || !m_printer.setPageOrientation(qtOrientation(orientation)))
        fail(QStringLiteral("the printer refused A4 paper in this orientation"));
}

void QtPagePrinter::setFontName(std::string_view name)
{
    m_font.setFamily(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    m_fontApplied = false;
}

void QtPagePrinter::setFontSize(double points)
{
    m_font.setPointSizeF(points);
    m_fontApplied = false;
}

void QtPagePrinter::setFontBold(bool bold)
{
    m_font.setBold(bold);
    m_fontApplied = false;
}

bool QtPagePrinter::ensureBegun()
{
    if (failed())
        return false;
    if (m_begun)
        return true;
    if (!m_painter.begin(&m_printer)) {
        fail(QStringLiteral("the printer cannot start a document"));
        return false;
    }
    m_begun = true;
    m_devicePerTwip = m_printer.resolution() / kTwipsPerInch;
    m_fontApplied = false;
    applyPen();
    return true;
}

void QtPagePrinter::applyFont()
{
    if (m_fontApplied)
        return;
    m_painter.setFont(m_font);
    m_ascent = m_painter.fontMetrics().ascent();
    m_fontApplied = true;
}

void QtPagePrinter::applyPen()
{
    QPen pen(Qt::black);
    pen.setWidthF(1.0); // one device pixel: the painter is never scaled
    if (m_lineStyle == LineStyle::Dotted) {
        const double dot = std::max(1.0, std::round(m_printer.resolution() / kDotsPerInch / 2.0));
        pen.setDashPattern({dot, dot});
    }
    m_painter.setPen(pen);
    m_painter.setBrush(m_solidFill ? QBrush(Qt::black) : QBrush(Qt::NoBrush));
}

void QtPagePrinter::text(double x, double y, std::string_view text)
{
    if (!ensureBegun())
        return;
    applyFont();
    // Top-left of the first character cell at (x, y): the baseline lies one ascent below.
    m_painter.drawText(QPointF(x * m_devicePerTwip, y * m_devicePerTwip + m_ascent),
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void QtPagePrinter::setLineStyle(LineStyle style)
{
    m_lineStyle = style;
    if (m_begun && !failed())
        applyPen();
}

void QtPagePrinter::setSolidFill()
{
    m_solidFill = true;
    if (m_begun && !failed())
        applyPen();
}

void QtPagePrinter::line(double x1, double y1, double x2, double y2)
{
    if (!ensureBegun())
        return;
    const double s = m_devicePerTwip;
    m_painter.drawLine(QPointF(x1 * s, y1 * s), QPointF(x2 * s, y2 * s));
}

void QtPagePrinter::circle(double x, double y, double radius)
{
    if (!ensureBegun())
        return;
    const double s = m_devicePerTwip;
    m_painter.drawEllipse(QPointF(x * s, y * s), radius * s, radius * s);
}

void QtPagePrinter::clipTo(double x, double y, double width, double height)
{
    if (!ensureBegun())
        return;
    const double s = m_devicePerTwip;
    m_painter.setClipRect(QRectF(x * s, y * s, width * s, height * s));
}

void QtPagePrinter::endClip()
{
    if (!ensureBegun())
        return;
    m_painter.setClipping(false);
}

int QtPagePrinter::pageWidth() const
{
    // The paper's width: 11906 twips for portrait A4 on every printer, whatever margins it
    // keeps, so the footer sits where the layout means it to.
    const double millimetres = m_printer.pageLayout().fullRect(QPageLayout::Millimeter).width();
    return static_cast<int>(std::lround(millimetres / kMillimetresPerInch * kTwipsPerInch));
}

int QtPagePrinter::printableHeight() const
{
    const double millimetres = m_printer.pageLayout().paintRect(QPageLayout::Millimeter).height();
    return static_cast<int>(std::floor(millimetres / kMillimetresPerInch * kTwipsPerInch));
}

void QtPagePrinter::newPage()
{
    if (!ensureBegun())
        return;
    if (!m_printer.newPage())
        fail(QStringLiteral("the printer refused a new page"));
}

void QtPagePrinter::endDocument()
{
    if (!ensureBegun())
        return;
    m_ended = true;
    if (!m_painter.end() || m_printer.printerState() == QPrinter::Error) {
        fail(QStringLiteral("the printer could not finish the document"));
        if (m_route == Route::PdfFile)
            QFile::remove(m_printer.outputFileName());
        return;
    }
#ifdef CLAMPMETER_HAVE_CUPS
    if (m_route == Route::PrintServer) {
        const bool landscape = m_printer.pageLayout().orientation() == QPageLayout::Landscape;
        const CupsJob job = submitToCups(m_printer.printerName().toStdString(),
            QFile::encodeName(m_spool.fileName()).toStdString(), m_printer.docName().toStdString(),
            landscape);
        m_jobId = job.id;
        if (job.id == 0)
            fail(QStringLiteral("the print server refused the document: ")
                + QString::fromStdString(job.error));
    }
#endif
}

} // namespace clampmeter
