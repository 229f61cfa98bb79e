// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "graph/graph_printout.h"

#include "graph/graph_layout.h"
#include "graph/plot_drawing.h"

#include <algorithm>

namespace clampmeter {
namespace {

constexpr double kLandscapeWidth = 16838.0; // A4 across, in twips
constexpr double kLandscapeHeight = 11906.0;
constexpr double kPrintedDotRadius = 30.0;

double unitsX(int twips)
{
    return twips / kTwipsPerWindowUnitX;
}

double unitsY(int twips)
{
    return twips / kTwipsPerWindowUnitY;
}

void printCaption(PagePrinter& printer, DesignPlace place, const std::string& caption)
{
    printer.text(paperX(unitsX(place.left)), paperY(unitsY(place.top)), caption);
}

/// A rectangle on the page, in twips.
struct PaperRect {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
};

constexpr PaperRect kPage {0.0, 0.0, kLandscapeWidth, kLandscapeHeight};

/// A line in window units, cut at the edges of `area`.
void printLine(
    PagePrinter& printer, double u1, double v1, double u2, double v2, const PaperRect& area = kPage)
{
    const PlotLine onPaper {
        paperX(u1) - area.x, paperY(v1) - area.y, paperX(u2) - area.x, paperY(v2) - area.y};
    if (const auto part = clipToRectangle(onPaper, area.width, area.height))
        printer.line(part->x1 + area.x, part->y1 + area.y, part->x2 + area.x, part->y2 + area.y);
}

/// A dot that can touch `area`; the printer's clip cuts what lies outside.
void printDot(PagePrinter& printer, double u, double v, const PaperRect& area)
{
    const double x = paperX(u);
    const double y = paperY(v);
    if (x >= area.x - kPrintedDotRadius && x <= area.x + area.width + kPrintedDotRadius
        && y >= area.y - kPrintedDotRadius && y <= area.y + area.height + kPrintedDotRadius)
        printer.circle(x, y, kPrintedDotRadius);
}

/// The curve, cut at the plot's frame as the window cuts it at the plot box: readings
/// beyond the scales never reach the captions around it.
void printCurve(
    const VarModule& vars, PagePrinter& printer, double left, double top, const PaperRect& frame)
{
    const std::int32_t count = std::min(vars.GraphPointCount, kMaxGraphPoints);
    if (count <= 0)
        return;
    printer.setSolidFill();
    printer.clipTo(frame.x, frame.y, frame.width, frame.height);
    auto u = [&](std::int32_t i) {
        return left + vars.GraphPoints[static_cast<std::size_t>(i - 1)].PointX;
    };
    auto v = [&](std::int32_t i) {
        return top + vars.GraphPoints[static_cast<std::size_t>(i - 1)].PointY;
    };
    if (count == 1)
        printDot(printer, u(1), v(1), frame);
    for (std::int32_t i = 2; i <= count && !printer.failed(); ++i) {
        printLine(printer, u(i), v(i), u(i - 1), v(i - 1), frame);
        printDot(printer, u(i), v(i), frame);
        printDot(printer, u(i - 1), v(i - 1), frame);
    }
    printer.endClip();
}

} // namespace

double paperX(double u)
{
    return 15.0 * u + 2500.0;
}

double paperY(double v)
{
    return 15.0 * v + 1000.0;
}

bool printGraph(const VarModule& vars, const GraphCaptions& captions, PagePrinter& printer,
    std::string_view dateTime)
{
    printer.setPage(PaperOrientation::Landscape);
    chooseArial(printer, 24.0, true);
    printer.text(5300.0, 500.0, "KR-610 Graph Report");
    printer.setFontSize(10.0);
    printer.setFontBold(false);
    printer.text(7000.0, 1200.0, dateTime);

    for (int k = 0; k < kYLabels; ++k)
        printCaption(printer, kYLabelPlaces[static_cast<std::size_t>(k)],
            captions.yLabels[static_cast<std::size_t>(k)]);
    for (std::size_t i = 0; i < kXLabelPlaces.size(); ++i)
        printCaption(printer, kXLabelPlaces[i], captions.xLabels[i]);
    printCaption(printer, kLabel1Place, captions.label1);
    printCaption(printer, kLabel2Place, captions.label2);

    const double l = unitsX(kPicture1Place.left);
    const double t = unitsY(kPicture1Place.top);
    const double w = unitsX(kPicture1WidthTwips);
    const double h = unitsY(kPicture1HeightTwips);
    printer.setLineStyle(LineStyle::Dotted);
    printLine(printer, l + w / 2.0, t, l + w / 2.0, t + h);
    if (vars.CrossOn) {
        for (int i = 0; i < 12; ++i)
            printLine(printer, l, t + 45.0 * i + 3.0, l + w, t + 45.0 * i + 3.0);
    }
    printer.setLineStyle(LineStyle::Solid);
    printLine(printer, l, t, l + w, t);
    printLine(printer, l, t + h, l + w, t + h);
    printLine(printer, l, t, l, t + h);
    printLine(printer, l + w, t, l + w, t + h);
    printer.setLineStyle(LineStyle::Solid);
    const PaperRect frame {
        paperX(l), paperY(t), paperX(l + w) - paperX(l), paperY(t + h) - paperY(t)};
    printCurve(vars, printer, l, t, frame);

    if (printer.failed())
        return false;
    printer.endDocument();
    return !printer.failed();
}

} // namespace clampmeter
