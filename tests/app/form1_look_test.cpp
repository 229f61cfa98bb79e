// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the main panel looks like whatever the desktop: its own colours under a dark theme,
// and captions that fit their labels in the faces the layout was measured with.

#include "form1_fixture.h"

#include "link/measurement_frame.h"
#include "shared/widget_helpers.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace clampmeter {
namespace {

/// A desktop theme for one test: light text on dark windows.
class DarkDesktop {
public:
    DarkDesktop()
    {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(45, 45, 45));
        dark.setColor(QPalette::WindowText, QColor(235, 235, 235));
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        dark.setColor(QPalette::Text, QColor(235, 235, 235));
        dark.setColor(QPalette::Button, QColor(60, 60, 60));
        dark.setColor(QPalette::ButtonText, QColor(235, 235, 235));
        QApplication::setPalette(dark);
    }
    ~DarkDesktop() { QApplication::setPalette(m_saved); }
    DarkDesktop(const DarkDesktop&) = delete;
    DarkDesktop& operator=(const DarkDesktop&) = delete;

private:
    QPalette m_saved = QApplication::palette();
};

const char* const kDisplayLabels[] = {"MainDataLabel", "SlaveDataLabel", "Label1", "Label4",
    "Label6", "Label5", "Label7", "Label9", "Label8", "Label10", "Label11", "Label12", "Label13"};

QImage look(QWidget* panel)
{
    QImage image(panel->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    panel->render(&image);
    return image;
}

QRect rectIn(const QWidget* panel, const QWidget* control)
{
    return {control->mapTo(panel, QPoint(0, 0)), control->size()};
}

TEST_F(Form1Test, KeepsTheLayoutColoursUnderADarkDesktopTheme)
{
    std::unique_ptr<Form1> madeBefore = std::move(form);
    const DarkDesktop theme;
    std::unique_ptr<Form1> madeAfter = makeForm(noMap);

    for (Form1* panel : {madeBefore.get(), madeAfter.get()}) {
        SCOPED_TRACE(panel == madeBefore.get() ? "panel made before the theme changed"
                                               : "panel made under the theme");
        auto* main = panel->findChild<QLabel*>(QStringLiteral("MainDataLabel"));
        for (const char* name : kDisplayLabels) {
            auto* l = panel->findChild<QLabel*>(QString::fromLatin1(name));
            EXPECT_EQ(l->palette().color(QPalette::WindowText).name(), "#000000") << name;
        }
        for (const char* name : {"Label3", "Label2"}) {
            auto* l = panel->findChild<QLabel*>(QString::fromLatin1(name));
            EXPECT_EQ(l->palette().color(QPalette::WindowText).name(), "#ff0000") << name;
        }
        const std::pair<const char*, const char*> backgrounds[]
            = {{"Picture1", "#c0c0c0"}, {"Picture3", "#c0c0c0"}, {"Picture2", "#004000"}};
        for (const auto& [name, colour] : backgrounds) {
            auto* box = panel->findChild<QWidget*>(QString::fromLatin1(name));
            EXPECT_EQ(box->palette().color(QPalette::Window).name(), colour) << name;
        }
        EXPECT_EQ(panel->palette().color(QPalette::Window).name(), "#ffffff");
        for (auto* button : panel->findChildren<QPushButton*>()) {
            const QPalette& p = button->palette();
            EXPECT_GE(std::abs(qGray(p.color(QPalette::ButtonText).rgb())
                          - qGray(p.color(QPalette::Button).rgb())),
                128)
                << button->objectName().toStdString() << ": the system's pair, readable";
        }

        panel->setNoDataPanelVisible(false);
        panel->setDisplayPanelVisible(true);
        panel->onAcceptedFrame(encodeFrame({.functionCode = 1, .mainValue = 229.9F}));
        ASSERT_EQ(main->text(), "229.8");
        const QImage display = look(panel);
        const QRect reading = rectIn(panel, main);
        int darkest = 255;
        for (int y = reading.top(); y <= reading.bottom(); ++y) {
            for (int x = reading.left(); x <= reading.right(); ++x)
                darkest = std::min(darkest, qGray(display.pixel(x, y)));
        }
        EXPECT_LE(darkest, 40) << "the reading's strokes are black";
        EXPECT_EQ(display.pixelColor(reading.topLeft()).name(), "#c0c0c0")
            << "on the light grey display";

        panel->setDisplayPanelVisible(false);
        panel->setNoDataPanelVisible(true);
        const QImage noData = look(panel);
        const QRect caption = rectIn(panel, panel->findChild<QLabel*>(QStringLiteral("Label3")));
        int red = 0;
        for (int y = caption.top(); y <= caption.bottom(); ++y) {
            for (int x = caption.left(); x <= caption.right(); ++x) {
                const QColor c = noData.pixelColor(x, y);
                red += c.red() > 200 && c.green() < 60 && c.blue() < 60 ? 1 : 0;
            }
        }
        EXPECT_GT(red, 50) << "NO DATA in red";
    }
}

/// A label and every caption it can show.
struct CaptionsOf {
    const char* label;
    std::vector<std::string> captions;
    /// Pixels the layout itself lets the caption run past its label, in the faces it was
    /// measured with.
    int layoutOverflow = 0;
};

std::vector<CaptionsOf> everyCaption()
{
    CaptionsOf function {"Label1", {}};
    CaptionsOf unit {"Label7", {}};
    CaptionsOf secondaryFunction {"Label9", {}};
    CaptionsOf secondaryUnit {"Label8", {}};
    for (const FunctionEntry& entry : functionTable()) {
        function.captions.emplace_back(entry.classCaption);
        unit.captions.emplace_back(entry.unitCaption);
        secondaryFunction.captions.emplace_back(entry.secondaryClassCaption);
        secondaryUnit.captions.emplace_back(entry.secondaryUnitCaption);
    }
    CaptionsOf number {"Label11", {}};
    for (int n = 0; n < 100; ++n)
        number.captions.push_back(twoDigitText(static_cast<std::uint8_t>(n)));
    CaptionsOf phase {"Label12", {}};
    for (const Phase p : {Phase::L1, Phase::L2, Phase::L3})
        phase.captions.emplace_back(phaseCaption(p));
    return {
        // The widest text of every band of the readings (the digits are all as wide).
        {"MainDataLabel", {"000.0", "999.9", "99.99", "9.999", "9998", "0.899", "OL", "----"}},
        {"SlaveDataLabel", {"000.0", "749.9", "99.99", "99:99", "OL", "----"}},
        function,
        {"Label4", {"MR"}},
        {"Label6", {"3@3w"}},
        {"Label5", {"MAX"}},
        unit,
        secondaryFunction,
        secondaryUnit,
        // " MEM" is 26.5 pixels in Tahoma 8.25 pt, in a label of 25: the last column of
        // the final M's two-pixel stem is cut.
        {"Label10", {" MEM"}, 2},
        number,
        phase,
        {"Label13", {"bat"}},
        {"Label3", {"NO DATA"}},
        {"Label2", {"KR-6080"}},
    };
}

/// Where the caption's ink falls when the label draws it, in the label's coordinates, with
/// nothing cut away.
QRect inkOf(const QLabel* label, const QString& caption)
{
    constexpr int kRoom = 40;
    QImage canvas(label->size() + QSize(2 * kRoom, 2 * kRoom), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setFont(label->font());
    painter.setPen(Qt::black);
    painter.drawText(QRect(QPoint(kRoom, kRoom), label->size()),
        static_cast<int>(label->alignment()) | Qt::TextDontClip, caption);
    painter.end();
    QRect ink;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (qGray(canvas.pixel(x, y)) < 255)
                ink |= QRect(x - kRoom, y - kRoom, 1, 1);
        }
    }
    return ink;
}

TEST_F(Form1Test, EveryCaptionFitsItsLabelInTheLayoutFaces)
{
    const QFontInfo tahoma(designFont("Tahoma", 8.25, QFont::Normal));
    if (tahoma.family() != QStringLiteral("Tahoma"))
        GTEST_SKIP() << "no Tahoma face (Debian package fonts-wine); it falls back to "
                     << tahoma.family().toStdString() << ", which is wider";

    for (const CaptionsOf& row : everyCaption()) {
        const QLabel* l = label(row.label);
        ASSERT_NE(l, nullptr) << row.label;
        const QFontMetricsF metrics(l->font());
        for (const std::string& text : row.captions) {
            const QString caption = QString::fromStdString(text);
            SCOPED_TRACE(std::string(row.label) + " \"" + text + "\"");
            EXPECT_LE(metrics.horizontalAdvance(caption), l->width() + row.layoutOverflow);
            const QRect ink = inkOf(l, caption);
            if (ink.isNull())
                continue; // a space or nothing
            EXPECT_GE(ink.left(), -row.layoutOverflow);
            EXPECT_LE(ink.right(), l->width() - 1 + row.layoutOverflow);
            EXPECT_GE(ink.top(), 0);
            EXPECT_LE(ink.bottom(), l->height() - 1);
        }
    }
}

} // namespace
} // namespace clampmeter
