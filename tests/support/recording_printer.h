// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shared/page_printer.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace clampmeter::test {

/// The font the printer holds when something is printed.
struct PrintedFont {
    std::string name;
    double points = 0.0;
    bool bold = false;

    bool operator==(const PrintedFont&) const = default;
};

/// A clipping rectangle: corner, width and height.
struct PrintedClip {
    double x = 0.0, y = 0.0, width = 0.0, height = 0.0;

    bool operator==(const PrintedClip&) const = default;
};

/// A text, line or circle as it reached the page.
struct PrintedItem {
    enum class Kind { Text, Line, Circle } kind = Kind::Text;
    int page = 1;
    double x = 0.0, y = 0.0; ///< text position, line start or circle centre
    double x2 = 0.0, y2 = 0.0; ///< line end; x2 is the radius of a circle
    std::string text;
    PrintedFont font;
    LineStyle style = LineStyle::Solid;
    bool filled = false;
    std::optional<PrintedClip> clip; ///< the rectangle the item was cut at
};

/// A printer that keeps what it was asked to print, page by page. It can be told to fail at
/// a chosen call, as a real one does when it is missing or refuses a page.
class RecordingPrinter final : public PagePrinter {
public:
    void setPage(PaperOrientation orientation) override
    {
        if (step())
            orientations.push_back(orientation);
    }
    void setFontName(std::string_view name) override
    {
        if (step())
            m_font.name = name;
    }
    void setFontSize(double points) override
    {
        if (step())
            m_font.points = points;
    }
    void setFontBold(bool bold) override
    {
        if (step())
            m_font.bold = bold;
    }
    void text(double x, double y, std::string_view text) override
    {
        if (step())
            items.push_back({PrintedItem::Kind::Text, pages, x, y, 0, 0, std::string(text), m_font,
                m_style, m_filled, m_clip});
    }
    void setLineStyle(LineStyle style) override
    {
        if (step())
            m_style = style;
    }
    void setSolidFill() override
    {
        if (step())
            m_filled = true;
    }
    void line(double x1, double y1, double x2, double y2) override
    {
        if (step())
            items.push_back({PrintedItem::Kind::Line, pages, x1, y1, x2, y2, {}, m_font, m_style,
                m_filled, m_clip});
    }
    void circle(double x, double y, double radius) override
    {
        if (step())
            items.push_back({PrintedItem::Kind::Circle, pages, x, y, radius, 0, {}, m_font, m_style,
                m_filled, m_clip});
    }
    void clipTo(double x, double y, double clipWidth, double clipHeight) override
    {
        if (step())
            m_clip = PrintedClip {x, y, clipWidth, clipHeight};
    }
    void endClip() override
    {
        if (step())
            m_clip.reset();
    }
    int pageWidth() const override { return width; }
    int printableHeight() const override { return height; }
    void newPage() override
    {
        if (step())
            ++pages;
    }
    void endDocument() override
    {
        if (step())
            ended = true;
    }
    bool failed() const override { return m_failed; }

    /// The texts of one page, in the order printed.
    std::vector<PrintedItem> textsOn(int page) const
    {
        std::vector<PrintedItem> texts;
        for (const PrintedItem& item : items)
            if (item.page == page && item.kind == PrintedItem::Kind::Text)
                texts.push_back(item);
        return texts;
    }

    int width = 11906;
    int height = 16838;
    int failAtCall = -1; ///< the call (from 0) that fails, or -1 for never
    int calls = 0;
    int callsAfterFailure = 0;
    int pages = 1;
    bool ended = false;
    std::vector<PaperOrientation> orientations;
    std::vector<PrintedItem> items;

private:
    bool step()
    {
        if (m_failed) {
            ++callsAfterFailure;
            return false;
        }
        if (calls++ == failAtCall)
            m_failed = true;
        return !m_failed;
    }

    PrintedFont m_font;
    LineStyle m_style = LineStyle::Solid;
    bool m_filled = false;
    std::optional<PrintedClip> m_clip;
    bool m_failed = false;
};

/// Hands every call on to another printer that outlives it, so a test can read what was
/// printed after the program has let go of its printer.
class ForwardingPrinter final : public PagePrinter {
public:
    explicit ForwardingPrinter(PagePrinter& target)
        : m_target(target)
    {
    }
    void setPage(PaperOrientation orientation) override { m_target.setPage(orientation); }
    void setFontName(std::string_view name) override { m_target.setFontName(name); }
    void setFontSize(double points) override { m_target.setFontSize(points); }
    void setFontBold(bool bold) override { m_target.setFontBold(bold); }
    void text(double x, double y, std::string_view text) override { m_target.text(x, y, text); }
    void setLineStyle(LineStyle style) override { m_target.setLineStyle(style); }
    void setSolidFill() override { m_target.setSolidFill(); }
    void line(double x1, double y1, double x2, double y2) override
    {
        m_target.line(x1, y1, x2, y2);
    }
    void circle(double x, double y, double radius) override { m_target.circle(x, y, radius); }
    void clipTo(double x, double y, double width, double height) override
    {
        m_target.clipTo(x, y, width, height);
    }
    void endClip() override { m_target.endClip(); }
    int pageWidth() const override { return m_target.pageWidth(); }
    int printableHeight() const override { return m_target.printableHeight(); }
    void newPage() override { m_target.newPage(); }
    void endDocument() override { m_target.endDocument(); }
    bool failed() const override { return m_target.failed(); }

private:
    PagePrinter& m_target;
};

} // namespace clampmeter::test
