// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string_view>

namespace clampmeter {

enum class PaperOrientation { Portrait, Landscape };
enum class LineStyle { Solid, Dotted };

/// A printer as the printouts use it: one document of A4 pages, drawn in twips (1/1440 inch)
/// from the top-left corner of the printable area, x to the right and y down, everything in
/// black one device pixel wide.
///
/// A printer that fails (none installed, a setting refused, a page it cannot start) stays
/// failed: every later call does nothing, and the printout, which checks `failed()` between
/// its steps, ends there. The document of a failed printout is discarded, never ended.
class PagePrinter {
public:
    PagePrinter() = default;
    PagePrinter(const PagePrinter&) = delete;
    PagePrinter& operator=(const PagePrinter&) = delete;
    virtual ~PagePrinter() = default;

    /// Paper size A4 in the given orientation, for the current page and those after it.
    virtual void setPage(PaperOrientation orientation) = 0;

    /// One attribute of the font at a time: its name ("Arial"), its size in points, bold.
    virtual void setFontName(std::string_view name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setFontBold(bool bold) = 0;

    /// Text with the top-left corner of its first character cell at (x, y).
    virtual void text(double x, double y, std::string_view text) = 0;

    virtual void setLineStyle(LineStyle style) = 0;
    /// Circles drawn from here on are filled (solid fill style).
    virtual void setSolidFill() = 0;
    virtual void line(double x1, double y1, double x2, double y2) = 0;
    virtual void circle(double x, double y, double radius) = 0;

    /// Everything drawn from here on is cut at the rectangle from (x, y), width × height,
    /// until `endClip()`.
    virtual void clipTo(double x, double y, double width, double height) = 0;
    virtual void endClip() = 0;

    /// The printable width of the current page in whole twips (11906 for portrait A4 on a
    /// printer that prints to the edge).
    virtual int pageWidth() const = 0;
    /// The height of the current page's printable area in whole twips: 16838 for portrait A4
    /// on a printer that prints to the edge, less its unprintable top and bottom margins.
    virtual int printableHeight() const = 0;

    virtual void newPage() = 0;
    /// Ends the document: it goes to the printer.
    virtual void endDocument() = 0;

    /// True once anything went wrong; nothing is printed from then on.
    virtual bool failed() const = 0;
};

/// The full font choice of the printouts: "Courier" at 1 point first, then "Arial" at the
/// wanted size, then the weight, so that no attribute of the font before carries over.
inline void chooseArial(PagePrinter& printer, double points, bool bold)
{
    printer.setFontName("Courier");
    printer.setFontSize(1.0);
    printer.setFontName("Arial");
    printer.setFontSize(points);
    printer.setFontBold(bold);
}

} // namespace clampmeter
