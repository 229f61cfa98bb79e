// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/form1.h"
#include "graph/frm_graph.h"
#include "graph/image_button.h"
#include "graph/plot_box.h"
#include "graph/plot_painter.h"
#include "link/static_serial_device_map.h"
#include "list/frm_list.h"
#include "simulator/frame_encoder.h"

#include "recording_print_host.h"
#include "window_press.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace clampmeter {
namespace {

/// A graph window fed the way the capture step feeds it: each reading is stored and
/// counted, then the live update runs.
class GraphWindowTest : public testing::Test {
protected:
    void SetUp() override { graph = std::make_unique<Frm_Graph>(*vars, host); }

    void capture(double value, const char* text = "229.8", const char* unit = "v")
    {
        ++vars->DataCount;
        DataRecord& record = vars->DataRecords[static_cast<std::size_t>(vars->DataCount - 1)];
        record.No = vars->DataCount;
        record.Value = value;
        record.DataText = text;
        record.UnitText = unit;
        record.FunText = "FUN_VAC";
        record.StampText = "01/05/24\\14:03:" + std::to_string(vars->DataCount % 60);
        graph->LiveGraphUpdate();
    }

    template <typename T = QWidget> T* child(const char* name) const
    {
        return graph->findChild<T*>(QString::fromLatin1(name));
    }
    QString caption(const char* name) const { return child<QLabel>(name)->text(); }
    PlotBox* plotBox() const { return child<PlotBox>("Picture1"); }

    /// The plot box as it paints itself now.
    QImage plotImage() const
    {
        QImage image(plotBox()->size(), QImage::Format_RGB32);
        plotBox()->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        return image;
    }
    /// Whether a pixel of the colour lies within one pixel of where a point in plot units
    /// lands: lines and dots fall on whole pixels, positions do not.
    static bool colourNear(const QImage& image, QPointF exact, const QColor& colour)
    {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (image.pixelColor(static_cast<int>(std::lround(exact.x())) + dx,
                        static_cast<int>(std::lround(exact.y())) + dy)
                    == colour)
                    return true;
        return false;
    }
    QPointF at(double x, double y) const { return plotToPixels(x, y, plotBox()->size()); }

    /// The pixel where a point in plot units lands.
    QPoint pixelOf(double x, double y) const
    {
        const QPointF exact = plotToPixels(x, y, plotBox()->size());
        return {static_cast<int>(std::floor(exact.x())), static_cast<int>(std::floor(exact.y()))};
    }

    void chooseItem(const char* comboName, const char* item)
    {
        auto* combo = child<QComboBox>(comboName);
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        const QModelIndex index = view->model()->index(combo->findText(item), 0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }

    void movePointer(QPointF at)
    {
        QMouseEvent move(QEvent::MouseMove, at, plotBox()->mapToGlobal(at), Qt::NoButton,
            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(plotBox(), &move);
    }

    std::unique_ptr<VarModule> vars = std::make_unique<VarModule>();
    test::RecordingPrintHost host;
    std::unique_ptr<Frm_Graph> graph;
};

TEST_F(GraphWindowTest, StartsWithItsDesignLayoutAndCaptions)
{
    EXPECT_FALSE(graph->isVisible());
    EXPECT_EQ(graph->size(), QSize(693, 668));
    EXPECT_TRUE(graph->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(graph->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(graph->windowTitle(), "Data graph — clampmeter");

    const struct {
        const char* name;
        QRect pixels;
    } places[] = {
        {"Image1", {665, 4, 27, 26}},
        {"Check1", {64, 48, 49, 21}},
        {"X_Combo", {120, 48, 73, 21}},
        {"Y_Combo", {200, 48, 73, 21}},
        {"imgbtnfirst", {280, 48, 60, 21}},
        {"imgbtnleft", {344, 48, 60, 21}},
        {"imgbtncenter", {408, 48, 60, 21}},
        {"imgbtnright", {472, 48, 60, 21}},
        {"imgbtnend", {536, 48, 60, 21}},
        {"Command1", {608, 48, 65, 20}},
        {"Picture1", {64, 80, 611, 545}},
    };
    for (const auto& place : places)
        EXPECT_EQ(child(place.name)->geometry(), place.pixels) << place.name;

    EXPECT_EQ(caption("Label5"), "Data Graph");
    EXPECT_EQ(child<QCheckBox>("Check1")->text(), "Cross");
    EXPECT_TRUE(child<QCheckBox>("Check1")->isChecked());
    EXPECT_EQ(child<QPushButton>("Command1")->text(), "Print");
    for (int k = 0; k <= 12; ++k)
        EXPECT_EQ(caption(QByteArray("Y_Label(" + QByteArray::number(k) + ")").constData()),
            QString::number(50 * k));
    EXPECT_EQ(caption("X_Label1"), "1");
    EXPECT_EQ(caption("X_Label2"), "51");
    EXPECT_EQ(caption("X_Label3"), "100");

    for (const char* item : {"Line1", "Line2", "Line3", "Line4", "Data_Label", "Fun_Label",
             "Time_Label", "Showing_Label", "Fun_Label2", "Time_Label2"})
        EXPECT_TRUE(child(item)->isHidden()) << item;
}

TEST_F(GraphWindowTest, ScaleListsAreFilledInOrderWithNothingChosen)
{
    const struct {
        const char* name;
        QStringList items;
        const char* edit;
    } combos[] = {
        {"X_Combo", {"1000", "500", "200", "100", "50", "20", "10"}, "100"},
        {"Y_Combo", {"6000", "1200", "600", "120", "60", "12", "6"}, "600"},
    };
    for (const auto& expected : combos) {
        auto* combo = child<QComboBox>(expected.name);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        EXPECT_EQ(items, expected.items) << expected.name;
        EXPECT_EQ(combo->currentIndex(), -1) << expected.name;
        EXPECT_EQ(combo->currentText(), expected.edit) << expected.name;
    }
}

TEST_F(GraphWindowTest, ChoosingAnItemRescalesWhileTypingChangesNothing)
{
    for (const char* typed : {"250", "1000"}) {
        auto* edit = child<QComboBox>("X_Combo")->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(vars->XScale, 100) << typed;
        EXPECT_EQ(caption("X_Label3"), "100") << typed;
    }

    chooseItem("X_Combo", "1000");
    EXPECT_EQ(vars->XScale, 1000);
    EXPECT_DOUBLE_EQ(vars->XStep, 0.6);
    EXPECT_EQ(caption("X_Label2"), "501");
    EXPECT_EQ(caption("X_Label3"), "1000");

    chooseItem("Y_Combo", "6");
    EXPECT_EQ(vars->YScale, 6);
    EXPECT_EQ(caption("Y_Label(1)"), "0.5");
    EXPECT_EQ(caption("Y_Label(12)"), "6");
    EXPECT_EQ(caption("Y_Label(0)"), "0");
}

TEST_F(GraphWindowTest, AxisLabelsSizeThemselvesToTheirTextKeepingTheirLeftEdge)
{
    auto* last = child<QLabel>("X_Label3");
    auto* full = child<QLabel>("Y_Label(12)");
    const QRect before = last->geometry();
    const QRect fullBefore = full->geometry();
    EXPECT_EQ(before.width(), last->fontMetrics().horizontalAdvance("100"));

    chooseItem("X_Combo", "1000");
    chooseItem("Y_Combo", "6000");
    EXPECT_EQ(last->x(), before.x());
    EXPECT_GT(last->width(), before.width());
    EXPECT_EQ(last->width(), last->fontMetrics().horizontalAdvance("1000"));
    EXPECT_EQ(full->x(), fullBefore.x());
    EXPECT_GT(full->width(), fullBefore.width());
}

TEST_F(GraphWindowTest, EachReadingJoinsThePageAndMovesTheNewestMarker)
{
    graph->show();
    capture(300.0, "300.0", "v");
    EXPECT_EQ(vars->GraphPointCount, 1);
    EXPECT_FALSE(child("Line3")->isHidden());
    EXPECT_EQ(caption("Showing_Label"), "300.0 v");
    EXPECT_EQ(caption("Fun_Label2"), "FUN_VAC");
    EXPECT_EQ(caption("Time_Label2"), "01/05/24\\14:03:1");

    // Line3 and Line4 cross on the point at (1, 273); the label sits 10 right, 90 above.
    const QPoint point = pixelOf(1, 273);
    EXPECT_EQ(child("Line3")->x(), std::lround(plotToPixels(1, 0, plotBox()->size()).x()));
    EXPECT_EQ(child("Line4")->y(), point.y());
    EXPECT_EQ(child("Showing_Label")->pos(),
        QPoint(std::lround(plotToPixels(11, 183, plotBox()->size()).x()), 184));
}

TEST_F(GraphWindowTest, AReadingAboveFullScaleKeepsItsLabelAtTheTop)
{
    capture(3.0e38, "OL", "v");
    EXPECT_EQ(child("Showing_Label")->y(), 1); // top 0, inside the one-pixel border
    EXPECT_LT(child("Line4")->y(), -1000); // far above the box, yet a widget position
}

TEST_F(GraphWindowTest, PlotShowsDotsTicksCentreLineAndTheGridWhileCrossIsOn)
{
    graph->show();
    capture(300.0);
    capture(150.0);
    const QImage withGrid = plotImage();
    const QColor red(255, 0, 0);
    EXPECT_EQ(withGrid.pixelColor(pixelOf(1, 273)), red);
    EXPECT_EQ(withGrid.pixelColor(pixelOf(7, 408)), red);
    EXPECT_TRUE(colourNear(withGrid, at(4, 340.5), red)); // on the segment between them

    auto blackPixelsInRow = [](const QImage& image, int y, int fromX, int toX) {
        int count = 0;
        for (int x = fromX; x < toX; ++x)
            count += image.pixelColor(x, y) == QColor(Qt::black) ? 1 : 0;
        return count;
    };
    const int gridRow = pixelOf(0, 48).y();
    EXPECT_GT(blackPixelsInRow(withGrid, gridRow, 20, 280), 50); // dotted: every other pixel

    QTest::mouseClick(child("Check1"), Qt::LeftButton);
    EXPECT_FALSE(vars->CrossOn);
    const QImage withoutGrid = plotImage();
    EXPECT_EQ(blackPixelsInRow(withoutGrid, gridRow, 20, 280), 0);
    EXPECT_EQ(withoutGrid.pixelColor(pixelOf(1, 273)), red);

    // The dotted centre line and the tick marks are always there.
    int centre = 0;
    const int centreX = pixelOf(301, 0).x();
    for (int y = 2; y < 200; ++y)
        centre += withoutGrid.pixelColor(centreX, y) == QColor(Qt::black) ? 1 : 0;
    EXPECT_GT(centre, 50);
    EXPECT_TRUE(colourNear(withoutGrid, at(595, 541), Qt::black));
    EXPECT_EQ(withoutGrid.pixelColor(pixelOf(598, 541)), QColor(192, 192, 192));
}

TEST_F(GraphWindowTest, PointerOverThePlotReadsOutThePointUnderItAndHidesOutside)
{
    graph->show();
    for (int i = 0; i < 5; ++i)
        capture(100.0 * i, std::to_string(100 * i).c_str(), "A");

    movePointer(plotToPixels(13.5, 200, plotBox()->size())); // point 3 at x 13
    for (const char* item : {"Line1", "Line2", "Data_Label", "Fun_Label", "Time_Label"})
        EXPECT_FALSE(child(item)->isHidden()) << item;
    EXPECT_EQ(caption("Data_Label"), "200 A");
    EXPECT_EQ(caption("Time_Label"), "01/05/24\\14:03:3");
    EXPECT_EQ(child("Line2")->y() + 1, pixelOf(13, 363).y());

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(plotBox(), &leave);
    for (const char* item : {"Line1", "Line2", "Data_Label", "Fun_Label", "Time_Label"})
        EXPECT_TRUE(child(item)->isHidden()) << item;
    EXPECT_EQ(plotBox()->cursor().shape(), Qt::CrossCursor);
}

TEST_F(GraphWindowTest, TheNewestMarkerStandsOnTheNewestPointAfterEveryRedrawAndHidesWhileBrowsing)
{
    graph->show();
    for (int i = 1; i <= 120; ++i) // a second page of 20 points
        capture(5.0 * i, std::to_string(5 * i).c_str(), "v");
    const auto markerOnNewestPoint = [&] {
        const GraphPoint& newest
            = vars->GraphPoints[static_cast<std::size_t>(vars->GraphPointCount - 1)];
        EXPECT_FALSE(child("Line3")->isHidden());
        EXPECT_EQ(child("Line3")->x(), std::lround(at(newest.PointX, 0).x()));
        EXPECT_EQ(child("Line4")->y(), pixelOf(newest.PointX, newest.PointY).y());
        EXPECT_EQ(caption("Showing_Label"), "600 v");
    };
    const auto markerHidden = [&] {
        for (const char* item : {"Line3", "Line4", "Showing_Label", "Fun_Label2", "Time_Label2"})
            EXPECT_TRUE(child(item)->isHidden()) << item;
    };
    markerOnNewestPoint();

    chooseItem("Y_Combo", "1200");
    markerOnNewestPoint();
    chooseItem("X_Combo", "20");
    markerOnNewestPoint();

    struct Move {
        const char* button;
        bool follows;
    };
    for (const Move move : {Move {"imgbtnfirst", false}, Move {"imgbtnright", false},
             Move {"imgbtnleft", false}, Move {"imgbtnend", false}, Move {"imgbtncenter", true}}) {
        SCOPED_TRACE(move.button);
        QTest::mouseClick(child(move.button), Qt::LeftButton);
        markerHidden(); // browsing, or following an empty page
        chooseItem("Y_Combo", "600");
        markerHidden();
    }
    capture(300.0, "300", "v"); // following again
    EXPECT_FALSE(child("Line3")->isHidden());
    EXPECT_EQ(caption("Showing_Label"), "300 v");
    EXPECT_EQ(child("Line4")->y(), pixelOf(1, 273).y());
}

TEST_F(GraphWindowTest, TheReadoutLeavesAPlotThatNoLongerHoldsAPoint)
{
    graph->show();
    for (int i = 0; i < 5; ++i)
        capture(100.0 * i, std::to_string(100 * i).c_str(), "A");
    const auto readoutShown
        = [&] { return !child("Line1")->isHidden() && !child("Data_Label")->isHidden(); };
    const auto readoutHidden = [&] {
        for (const char* item : {"Line1", "Line2", "Data_Label", "Fun_Label", "Time_Label"})
            if (!child(item)->isHidden())
                return false;
        return true;
    };

    movePointer(at(13.5, 200));
    ASSERT_TRUE(readoutShown());
    QTest::mouseClick(child("imgbtncenter"), Qt::LeftButton);
    EXPECT_TRUE(readoutHidden()) << "the centre button empties the plot";

    capture(400.0, "400", "A");
    movePointer(at(1.5, 200));
    ASSERT_TRUE(readoutShown());
    EXPECT_EQ(caption("Data_Label"), "400 A");
    graph->plotWindow().listCleared();
    EXPECT_TRUE(readoutHidden()) << "a cleared list empties the plot";
}

TEST_F(GraphWindowTest, AReadoutThatStaysOverThePlotReadsThePointNowUnderIt)
{
    graph->show();
    for (int i = 1; i <= 30; ++i)
        capture(10.0 * i, std::to_string(10 * i).c_str(), "A");
    movePointer(at(13.5, 200)); // point 3 at x 13
    EXPECT_EQ(caption("Data_Label"), "30 A");
    chooseItem("X_Combo", "10"); // 60 units a point: point 1 (x 1) is now under the pointer
    EXPECT_EQ(caption("Data_Label"), "10 A");
    QTest::mouseClick(child("imgbtnend"), Qt::LeftButton); // records 21 … 30
    EXPECT_EQ(caption("Data_Label"), "210 A");
}

TEST_F(GraphWindowTest, AWheelOverAScaleChooserActsOnlyWhileItHoldsTheFocus)
{
    graph->show();
    graph->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(graph.get()));
    auto* xCombo = child<QComboBox>("X_Combo");
    child("Check1")->setFocus();
    const auto turnWheel = [&] {
        const QPointF centre = QRectF(xCombo->rect()).center();
        QWheelEvent wheel(centre, xCombo->mapToGlobal(centre), QPoint(), QPoint(0, -120),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(xCombo, &wheel);
    };
    turnWheel();
    EXPECT_EQ(vars->XScale, 100);
    EXPECT_EQ(caption("X_Label3"), "100");
    EXPECT_FALSE(xCombo->hasFocus()) << "the wheel does not take the focus";

    xCombo->setFocus();
    ASSERT_TRUE(xCombo->hasFocus());
    turnWheel();
    EXPECT_NE(vars->XScale, 100) << "a focused chooser takes the wheel as it takes keys";
}

TEST_F(GraphWindowTest, ThePlotOnScreenEqualsAFullRedrawAfterEveryStep)
{
    graph->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(graph.get()));
    // What the window shows: its backing store, not a fresh rendering as QWidget::grab makes.
    const auto onScreen = [this] {
        QApplication::processEvents();
        const QRect area(plotBox()->mapTo(graph.get(), QPoint(0, 0)), plotBox()->size());
        return graph->screen()
            ->grabWindow(graph->winId(), area.x(), area.y(), area.width(), area.height())
            .toImage();
    };
    const auto expectAsRedrawn = [&](const std::string& step) {
        const QImage shown = onScreen();
        plotBox()->redraw();
        EXPECT_EQ(shown, onScreen()) << step;
    };
    double value = 0.0;
    const auto captureSome = [&](int count) {
        for (int i = 0; i < count; ++i) {
            value = std::fmod(value + 37.0, 700.0) - (i % 7 == 0 ? 60.0 : 0.0); // off scale too
            capture(value);
            QApplication::processEvents();
        }
    };

    captureSome(1);
    expectAsRedrawn("the first point");
    chooseItem("X_Combo", "20");
    captureSome(45); // across two new pages
    expectAsRedrawn("readings across pages");
    chooseItem("Y_Combo", "1200");
    captureSome(3);
    expectAsRedrawn("readings after a scale change");
    QTest::mouseClick(child("Check1"), Qt::LeftButton);
    captureSome(3);
    expectAsRedrawn("readings after the grid switch");
    QTest::mouseClick(child("imgbtnleft"), Qt::LeftButton);
    captureSome(3);
    expectAsRedrawn("readings while browsing");
    QTest::mouseClick(child("imgbtncenter"), Qt::LeftButton);
    captureSome(4);
    expectAsRedrawn("readings after following again");
    graph->hide();
    captureSome(5);
    graph->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(graph.get()));
    expectAsRedrawn("readings while the window was hidden");
    movePointer(at(100, 300));
    captureSome(3);
    expectAsRedrawn("readings under the readout");
    graph->plotWindow().listCleared();
    captureSome(2);
    expectAsRedrawn("readings after a clear");
}

TEST_F(GraphWindowTest, NavigationButtonsShowTheirPressedPictureWhileAButtonIsHeld)
{
    for (int i = 0; i < 30; ++i)
        capture(10.0 * i);
    auto* end = child<ImageButton>("imgbtnend");
    EXPECT_EQ(end->cursor().shape(), Qt::PointingHandCursor);
    const struct {
        Qt::MouseButton button;
        QPoint releaseAt;
        bool clicks;
    } presses[] = {
        {Qt::RightButton, {30, 10}, false},
        {Qt::LeftButton, {200, 10}, false}, // released away from the button
        {Qt::LeftButton, {30, 10}, true},
    };
    for (const auto& press : presses) {
        QTest::mousePress(end, press.button, {}, QPoint(30, 10));
        EXPECT_EQ(end->shownPicture(), 10);
        QTest::mouseRelease(end, press.button, {}, press.releaseAt);
        EXPECT_EQ(end->shownPicture(), 5);
        EXPECT_EQ(vars->GraphBrowsing, press.clicks);
    }
    EXPECT_EQ(vars->GraphPointCount, 30);
    EXPECT_EQ(caption("X_Label3"), "100");
}

TEST_F(GraphWindowTest, CloseHidesAndTheStateKeepsFollowingWhileHidden)
{
    graph->show();
    QTest::mouseClick(child("Image1"), Qt::LeftButton);
    EXPECT_FALSE(graph->isVisible());
    for (int i = 0; i < 101; ++i)
        capture(1.0);
    graph->showAt(QPoint(10, 10));
    EXPECT_EQ(caption("X_Label1"), "101");
    EXPECT_EQ(caption("X_Label3"), "200");
    EXPECT_EQ(vars->GraphPointCount, 1);
}

TEST_F(GraphWindowTest, PrintPutsTheWindowAsItStandsOnPaperThenResynchronises)
{
    for (double value : {120.0, 240.0})
        capture(value);
    chooseItem("Y_Combo", "6000");
    ASSERT_EQ(caption("Y_Label(12)"), "6000");

    QTest::mouseClick(child("Command1"), Qt::LeftButton);

    ASSERT_EQ(host.printers.size(), 1U);
    const test::RecordingPrinter& page = *host.printers[0];
    EXPECT_EQ(host.documents, std::vector<std::string> {"KR-610 Graph Report"});
    EXPECT_TRUE(page.ended);
    EXPECT_EQ(host.busyWhilePrinting, std::vector<bool> {true});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the busy cursor is gone";
    std::vector<std::string> texts;
    for (const test::PrintedItem& item : page.textsOn(1))
        texts.push_back(item.text);
    ASSERT_EQ(texts.size(), 2U + 13 + 3 + 2);
    EXPECT_EQ(texts[1], "01/05/24 14:03:07");
    EXPECT_EQ(texts[2 + 12], "6000");
    EXPECT_EQ(texts[2 + 13], caption("X_Label1").toStdString());
    EXPECT_EQ(std::count_if(page.items.begin(), page.items.end(),
                  [](const test::PrintedItem& item) {
                      return item.kind == test::PrintedItem::Kind::Circle;
                  }),
        2);
    EXPECT_EQ(host.events, (std::vector<std::string> {"resynchronise"}));
}

TEST_F(GraphWindowTest, AFailedPrintoutShowsOneMessageThenResynchronises)
{
    capture(120.0);
    for (int failAt : {0, 40}) {
        SCOPED_TRACE(failAt);
        host.events.clear();
        host.failAtCall = failAt;
        QTest::mouseClick(child("Command1"), Qt::LeftButton);
        EXPECT_FALSE(host.printers.back()->ended) << "the document is abandoned, not sent";
        EXPECT_EQ(
            host.events, (std::vector<std::string> {"failure: printer error!", "resynchronise"}));
    }
}

TEST_F(GraphWindowTest, AnyMouseButtonOnTheSkinDragsTheWindowButNotOnItsControls)
{
    graph->show();
    const test::Press presses[] = {
        {"skin, left", {400, 15}, Qt::LeftButton, true},
        {"skin, right", {20, 400}, Qt::RightButton, true},
        {"plot box", {300, 300}, Qt::LeftButton, false},
        {"X label", {65, 636}, Qt::LeftButton, false},
    };
    for (const test::Press& press : presses)
        EXPECT_EQ(test::dragMovesWindow(graph.get(), press.at, press.button), press.moves)
            << press.name;
}

TEST_F(GraphWindowTest, ControlsCarryAccessibleNames)
{
    for (const char* name :
        {"Picture1", "X_Combo", "Y_Combo", "imgbtnfirst", "imgbtnleft", "imgbtncenter",
            "imgbtnright", "imgbtnend", "Image1", "X_Label1", "Data_Label", "Showing_Label"})
        EXPECT_FALSE(child(name)->accessibleName().isEmpty()) << name;
}

TEST_F(GraphWindowTest, AScreenReaderNamesTheChoosersByPurposeAndItsToggleSwitchesTheGrid)
{
    const std::pair<const char*, const char*> choosers[]
        = {{"X_Combo", "Records per window"}, {"Y_Combo", "Full scale"}};
    for (const auto& [name, purpose] : choosers) {
        QAccessibleInterface* combo = QAccessible::queryAccessibleInterface(child(name));
        ASSERT_NE(combo, nullptr);
        QStringList labels;
        for (const auto& [label, relation] : combo->relations(QAccessible::Label))
            labels << label->text(QAccessible::Name);
        EXPECT_EQ(labels, QStringList {QString::fromLatin1(purpose)}) << name;
    }

    QAccessibleInterface* cross = QAccessible::queryAccessibleInterface(child("Check1"));
    EXPECT_TRUE(cross->text(QAccessible::Description).contains(QLatin1String("grid")));
    QAccessibleActionInterface* actions = cross->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    const bool before = vars->CrossOn;
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_NE(vars->CrossOn, before) << "the toggle action switches the grid";
    QTest::keyClick(child("Check1"), Qt::Key_Space);
    EXPECT_EQ(vars->CrossOn, before) << "and so does Space";
}

TEST_F(GraphWindowTest, TheKeyboardReachesTheButtonsAndEscapeClosesTheWindow)
{
    for (int i = 0; i < 150; ++i)
        capture(1.0 * i);
    graph->show();
    graph->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(graph.get()));
    for (const char* name : {"imgbtnfirst", "imgbtnend", "Image1"})
        EXPECT_TRUE(child(name)->focusPolicy() & Qt::TabFocus) << name;

    child("imgbtnfirst")->setFocus();
    QTest::keyClick(child("imgbtnfirst"), Qt::Key_Return);
    EXPECT_EQ(vars->GraphStart, 1) << "Enter clicks a picture button";
    EXPECT_TRUE(vars->GraphBrowsing);

    auto* first = static_cast<ImageButton*>(child("imgbtnfirst"));
    const QImage focused = first->grab().toImage();
    child("imgbtnend")->setFocus();
    EXPECT_NE(first->grab().toImage(), focused) << "the focus is shown on the picture";

    QTest::keyClick(child("Check1"), Qt::Key_Escape);
    EXPECT_FALSE(graph->isVisible());
}

TEST_F(GraphWindowTest, FixedColoursHoldUnderADarkTheme)
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    QApplication::setPalette(dark);
    auto darkGraph = std::make_unique<Frm_Graph>(*vars, host);
    QApplication::setPalette(QPalette());

    auto colourOf = [&](const char* name) {
        return darkGraph->findChild<QWidget*>(QString::fromLatin1(name))
            ->palette()
            .color(QPalette::WindowText);
    };
    EXPECT_EQ(colourOf("Label5"), QColor(255, 255, 255));
    EXPECT_EQ(colourOf("X_Label1"), QColor(0, 0, 0));
    EXPECT_EQ(colourOf("Y_Label(3)"), QColor(0, 0, 0));
    EXPECT_EQ(colourOf("Showing_Label"), QColor(192, 192, 0));
    EXPECT_EQ(colourOf("Fun_Label"), QColor(0, 0, 255));
    // The system's colours where the design keeps them.
    for (const char* name : {"Check1", "Data_Label", "Showing_Label"})
        EXPECT_EQ(darkGraph->findChild<QWidget*>(QString::fromLatin1(name))
                      ->palette()
                      .color(QPalette::Window),
            QColor(30, 30, 30))
            << name;
    EXPECT_EQ(darkGraph->findChild<QWidget*>(QStringLiteral("Check1"))
                  ->palette()
                  .color(QPalette::WindowText),
        QColor(230, 230, 230));
}

class FixedClock final : public CaptureClock {
public:
    CaptureTime now() override { return {"01/05/24", "14:03:07"}; }
};

/// The real main panel, started up to the point where its port fails to open.
class GraphInProgramTest : public testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<Form1>(
            Form1::Services {*vars, map, clock, [](const QString&, const QString&) {}});
        form->load();
    }

    void receive(float main)
    {
        const EncodedFrame bytes = encodeFrame({.functionCode = 1, .mainValue = main});
        form->onAcceptedFrame(bytes);
    }

    std::unique_ptr<VarModule> vars = std::make_unique<VarModule>();
    FixedClock clock;
    StaticSerialDeviceMap map {
        StaticSerialDeviceMap::Values {{R"(\Device\silabser0)", "/dev/clampmeter-no-such-port"}}};
    std::unique_ptr<Form1> form;
};

TEST_F(GraphInProgramTest, FirstReadingCreatesTheWindowHiddenWithItsPoint)
{
    EXPECT_FALSE(form->windows().hasGraphWindow());
    receive(300.0F);
    ASSERT_TRUE(form->windows().hasGraphWindow());
    EXPECT_FALSE(form->windows().graphWindow().isVisible());
    EXPECT_EQ(vars->GraphPointCount, 1);
    EXPECT_EQ(vars->GraphPoints[0].PointNo, 1);
    EXPECT_EQ(vars->GraphPoints[0].PointY, 273);
}

TEST_F(GraphInProgramTest, GraphCommandShowsItRightOfTheListWindowsWidthEveryTime)
{
    auto* graphButton = form->findChild<QPushButton*>(QStringLiteral("Command2"));
    QTest::mouseClick(graphButton, Qt::LeftButton);
    Frm_Graph& graph = form->windows().graphWindow();
    EXPECT_TRUE(graph.isVisible());
    EXPECT_FALSE(form->windows().listWindow().isVisible());
    // 324 pixels of list window are 4860 twips; 4910 and 200 twips are 327 and 13 pixels.
    EXPECT_EQ(graph.pos(), QPoint(327, 13));

    graph.move(40, 300);
    QTest::mouseClick(graphButton, Qt::LeftButton);
    EXPECT_EQ(graph.pos(), QPoint(327, 13));
}

TEST_F(GraphInProgramTest, ClosingTheMainPanelClosesTheGraphWindow)
{
    form->show();
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command5")), Qt::LeftButton);
    EXPECT_FALSE(form->windows().graphWindow().isVisible());
}

} // namespace
} // namespace clampmeter
