// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/page_printer.h"

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <QString>
#include <QTemporaryFile>

#include <memory>

namespace clampmeter {

/// The printouts on a real printer through Qt: twips become device pixels at the printer's
/// resolution, from the top-left corner of the printable area; lines are one device pixel
/// wide, everything black. The document begins with the first thing drawn.
///
/// With a print server (CUPS) the document is written to a spool file of our own and handed
/// to the server only once it is complete, so a printout abandoned half-way never reaches
/// the printer and a document the server refuses is a failure, not a quiet success. Other
/// systems print through Qt's own driver and abort an abandoned document there.
class QtPagePrinter final : public PagePrinter {
public:
    /// The system's default printer, chosen without a dialog; a failed printer when there is
    /// none (Qt would otherwise write a PDF with no name).
    static std::unique_ptr<QtPagePrinter> systemDefault(const QString& documentName);
    /// A PDF file written by Qt's PDF engine; an abandoned document leaves no file.
    static std::unique_ptr<QtPagePrinter> pdfFile(const QString& path, const QString& documentName);

    /// An unfinished document is discarded.
    ~QtPagePrinter() override;

    void setPage(PaperOrientation orientation) override;
    void setFontName(std::string_view name) override;
    void setFontSize(double points) override;
    void setFontBold(bool bold) override;
    void text(double x, double y, std::string_view text) override;
    void setLineStyle(LineStyle style) override;
    void setSolidFill() override;
    void line(double x1, double y1, double x2, double y2) override;
    void circle(double x, double y, double radius) override;
    void clipTo(double x, double y, double width, double height) override;
    void endClip() override;
    int pageWidth() const override;
    int printableHeight() const override;
    void newPage() override;
    void endDocument() override;
    bool failed() const override;

    /// The print server's number for the finished document; 0 when it went elsewhere.
    int jobId() const { return m_jobId; }
    /// What went wrong, in the words of Qt or the print server; empty while nothing did.
    const QString& failureReason() const { return m_failureReason; }

private:
    enum class Route { PrintServer, PrinterDriver, PdfFile };

    QtPagePrinter(Route route, const QString& documentName);

    bool ensureBegun();
    void applyFont();
    void applyPen();
    void fail(const QString& reason);
    void discard();

    Route m_route;
    QPrinter m_printer;
    QPainter m_painter;
    QTemporaryFile m_spool;
    bool m_failed = false;
    bool m_begun = false;
    bool m_ended = false;
    double m_devicePerTwip = 1.0;
    int m_jobId = 0;
    QString m_failureReason;

    QFont m_font; ///< as chosen so far
    bool m_fontApplied = false;
    double m_ascent = 0.0; ///< of the applied font, in device pixels
    LineStyle m_lineStyle = LineStyle::Solid;
    bool m_solidFill = false;
};

} // namespace clampmeter
