// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/form1.h"
#include "link/static_serial_device_map.h"
#include "list/frm_list.h"
#include "list/list_grid_view.h"
#include "platform/qt_output_files.h"
#include "simulator/frame_encoder.h"

#include "recording_printer.h"
#include "window_press.h"
#include <QAbstractItemModelTester>
#include <QAccessible>

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QPaintEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace clampmeter {
namespace {

class FixedClock final : public CaptureClock {
public:
    CaptureTime now() override { return {"01/05/24", "14:03:07"}; }
};

/// A save dialog that answers with a prepared name, and can let a reading arrive while it
/// is open, as the real one does.
class ScriptedDialog final : public SaveDialog {
public:
    std::string showSave(const SaveDialogRequest& request) override
    {
        requests.emplace_back(request.filter);
        if (whileOpen)
            whileOpen();
        return answer;
    }
    std::string answer;
    std::function<void()> whileOpen;
    std::vector<std::string> requests;
};

/// The real main panel, started up to the point where its port fails to open: the list
/// window then exists as the program creates it.
class ListWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        Form1::Services services {*vars, map, clock,
            [this](const QString& title, const QString& text) {
                messages << text;
                titles << title;
            },
            &dialog, &files,
            [this](std::string_view name) {
                documents.emplace_back(name);
                printer = std::make_unique<test::RecordingPrinter>();
                printer->failAtCall = failPrinterAtCall;
                return std::make_unique<test::ForwardingPrinter>(*printer);
            }};
        services.askQuestion = [this](const QString&, const QString& text) {
            questions << text;
            return answerYes;
        };
        form = std::make_unique<Form1>(std::move(services));
        form->load();
        messages.clear(); // the port that does not exist
        ASSERT_TRUE(form->windows().hasListWindow());
        list = &form->windows().listWindow();
        grid = list->findChild<ListGridView*>(QStringLiteral("MSFlexGrid1"));
        ASSERT_NE(grid, nullptr);
    }

    void receive(std::uint8_t code, float main)
    {
        const EncodedFrame bytes = encodeFrame({.functionCode = code, .mainValue = main});
        form->onAcceptedFrame(bytes);
    }

    QString caption(const char* name) const
    {
        return list->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    QString cell(int row, int column) const
    {
        return grid->model()->index(row, column).data().toString();
    }
    QString number(int row) const
    {
        return grid->model()->headerData(row, Qt::Vertical).toString();
    }
    QPushButton* button(const char* name) const
    {
        return list->findChild<QPushButton*>(QString::fromLatin1(name));
    }

    std::unique_ptr<VarModule> vars = std::make_unique<VarModule>();
    FixedClock clock;
    StaticSerialDeviceMap map {
        StaticSerialDeviceMap::Values {{R"(\Device\silabser0)", "/dev/clampmeter-no-such-port"}}};
    ScriptedDialog dialog;
    QtOutputFiles files;
    QStringList messages;
    QStringList titles;
    QStringList questions; ///< asked before readings are discarded
    bool answerYes = true;
    std::unique_ptr<test::RecordingPrinter> printer;
    int failPrinterAtCall = -1;
    std::vector<std::string> documents;
    std::unique_ptr<Form1> form;
    Frm_List* list = nullptr;
    ListGridView* grid = nullptr;
};

TEST_F(ListWindowTest, IsCreatedHiddenAtStartWithItsDesignState)
{
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(list->size(), QSize(324, 668));
    EXPECT_TRUE(list->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(list->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(list->windowTitle(), "Data list — clampmeter");

    const std::pair<const char*, const char*> captions[]
        = {{"Label5", "Data List"}, {"maindatashow", "000.0"}, {"Label1", "unit"},
            {"Label3", "DataNo."}, {"Label4", "0"}, {"Label2", "MAX:  50000"}};
    for (const auto& [name, text] : captions)
        EXPECT_EQ(caption(name), QString::fromLatin1(text)) << name;
    const std::pair<const char*, const char*> buttons[] = {{"Command1", "Clear list"},
        {"Command2", "Save"}, {"Command3", "To Excel"}, {"Command4", "Print"}};
    for (const auto& [name, text] : buttons)
        EXPECT_EQ(button(name)->text(), QString::fromLatin1(text)) << name;

    EXPECT_EQ(list->gridModel().cornerText(), "NO.");
    const QStringList headers = {"FUN", "DATA", "UNIT", "TIME"};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(grid->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
    EXPECT_EQ(grid->model()->rowCount(), 1) << "the header row and one empty row";
    EXPECT_EQ(cell(0, 0), "");
}

TEST_F(ListWindowTest, ControlsSitAtTheirPlaces)
{
    const std::pair<const char*, QRect> placements[] = {
        {"Label5", {16, 8, 113, 25}},
        {"Image1", {296, 4, 27, 26}},
        {"Picture1", {8, 32, 309, 89}},
        {"maindatashow", {32, 16, 177, 57}},
        {"Label1", {208, 40, 57, 25}},
        {"Command1", {8, 128, 81, 33}},
        {"Command2", {88, 128, 73, 33}},
        {"Command3", {160, 128, 73, 33}},
        {"Command4", {232, 128, 81, 33}},
        {"Label3", {8, 163, 65, 25}},
        {"Label4", {80, 163, 97, 25}},
        {"Label2", {192, 163, 105, 25}},
        {"MSFlexGrid1", {6, 184, 311, 481}},
    };
    for (const auto& [name, pixels] : placements) {
        auto* widget = list->findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_EQ(widget->geometry(), pixels) << name;
    }
}

TEST_F(ListWindowTest, ReadingsAreListedNewestFirstWithTheCurrentCellOnTheNewest)
{
    receive(1, 229.9F);
    receive(2, 12.5F);
    receive(9, 3.0F);

    ASSERT_EQ(grid->model()->rowCount(), 4) << "five grid rows: header, 3, 2, 1, empty";
    EXPECT_EQ(number(0), "3");
    EXPECT_EQ(number(1), "2");
    EXPECT_EQ(number(2), "1");
    EXPECT_EQ(number(3), "");
    EXPECT_EQ(cell(0, 0), "") << "no function entry: empty FUN";
    EXPECT_EQ(cell(0, 1), "") << "no function entry: empty DATA";
    EXPECT_EQ(cell(0, 2), "A") << "the unit of the last known function";
    EXPECT_EQ(cell(0, 3), "01/05/24\\14:03:07");
    EXPECT_EQ(cell(2, 0), "FUN_VAC");
    EXPECT_EQ(cell(2, 1), "229.8");
    EXPECT_EQ(cell(2, 2), "v");

    EXPECT_EQ(grid->currentIndex(), grid->model()->index(0, 3));
    EXPECT_EQ(
        grid->selectionModel()->selectedIndexes(), QModelIndexList {grid->model()->index(0, 3)});
    EXPECT_EQ(caption("Label4"), "3");
    EXPECT_EQ(caption("maindatashow"), "") << "the latest reading as the panel shows it";
    EXPECT_EQ(caption("Label1"), "A") << "kept from the last frame with a function entry";
}

TEST_F(ListWindowTest, ClearAsksForUnsavedReadingsThenEmptiesTheGridCounterAndGraph)
{
    receive(1, 229.9F);
    receive(3, 1.5F);
    list->show();
    answerYes = false;
    QTest::mouseClick(button("Command1"), Qt::LeftButton);
    EXPECT_EQ(questions, QStringList {"Clear 2 readings that have not been saved?"});
    EXPECT_EQ(vars->DataCount, 2) << "No cleared the list";
    EXPECT_EQ(grid->model()->rowCount(), 3);

    answerYes = true;
    QTest::mouseClick(button("Command1"), Qt::LeftButton);
    EXPECT_EQ(questions.size(), 2);
    EXPECT_EQ(vars->DataCount, 0);
    EXPECT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(grid->model()->headerData(3, Qt::Horizontal).toString(), "TIME");
    EXPECT_EQ(caption("Label4"), "0") << "the counter shows what the list holds";
    EXPECT_EQ(caption("maindatashow"), "1.5");
    EXPECT_EQ(vars->DataRecords[1].FunText, "FUN_KW") << "records stay in memory";
    EXPECT_EQ(vars->GraphPointCount, 0) << "the old dots stay in the graph";
    EXPECT_EQ(vars->GraphStart, 1);

    receive(5, 0.75F);
    ASSERT_EQ(grid->model()->rowCount(), 2);
    EXPECT_EQ(number(0), "1");
    EXPECT_EQ(cell(0, 0), "FUN_KVAR");
    EXPECT_EQ(caption("Label4"), "1");
    EXPECT_EQ(vars->GraphPointCount, 1);
    EXPECT_EQ(vars->GraphPoints[0].PointNo, 1) << "the graph's next reading is record 1";
}

TEST_F(ListWindowTest, ClearAsksNothingWhenASaveHeldEveryReading)
{
    receive(1, 229.9F);
    receive(1, 230.9F);
    QTemporaryDir folder;
    dialog.answer = folder.filePath(QStringLiteral("all.txt")).toStdString();
    QTest::mouseClick(button("Command2"), Qt::LeftButton);
    QTest::mouseClick(button("Command1"), Qt::LeftButton);
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_EQ(vars->DataCount, 0);

    receive(1, 231.9F);
    QTest::mouseClick(button("Command1"), Qt::LeftButton);
    EXPECT_EQ(questions, QStringList {"Clear 1 reading that has not been saved?"});
}

TEST_F(ListWindowTest, TheCounterTurnsRedWhenTheLogIsFullAndBackAfterAClear)
{
    const auto* counter = list->findChild<QLabel*>(QStringLiteral("Label4"));
    const QColor black = counter->palette().color(QPalette::WindowText);
    vars->DataCount = kMaxRecords - 1;
    receive(1, 229.9F);
    EXPECT_EQ(counter->palette().color(QPalette::WindowText), black) << "red before it is full";
    EXPECT_TRUE(counter->accessibleDescription().isEmpty());
    receive(1, 230.9F);
    EXPECT_EQ(counter->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(counter->accessibleDescription().contains(QStringLiteral("full")));
    EXPECT_EQ(caption("Label4"), "50000");

    QTest::mouseClick(button("Command1"), Qt::LeftButton);
    EXPECT_EQ(counter->palette().color(QPalette::WindowText), black);
    EXPECT_TRUE(counter->accessibleDescription().isEmpty());
}

TEST_F(ListWindowTest, ModelStaysConsistentThroughCapturesAndClears)
{
    QAbstractItemModelTester tester(
        grid->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    list->show();
    for (int i = 0; i < 5; ++i)
        receive(static_cast<std::uint8_t>(1 + i % 7), 10.0F + static_cast<float>(i));
    list->Command1_Click();
    list->Command1_Click();
    receive(1, 230.0F);
    EXPECT_EQ(grid->model()->rowCount(), 2);
}

TEST_F(ListWindowTest, ListShowsTheWindowAtItsPlaceAndTheClosePictureHidesIt)
{
    form->show();
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command3")), Qt::LeftButton);
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->pos(), QPoint(0, 13));

    auto* close = list->findChild<QWidget*>(QStringLiteral("Image1"));
    EXPECT_EQ(close->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(list->isVisible());

    QTest::keyClick(form->findChild<QPushButton*>(QStringLiteral("Command3")), Qt::Key_Return);
    ASSERT_TRUE(list->isVisible()) << "Enter gives the List command";
    list->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(list));
    close->setFocus();
    EXPECT_TRUE(close->hasFocus()) << "the keyboard reaches the close picture";
    QTest::keyClick(close, Qt::Key_Space);
    EXPECT_FALSE(list->isVisible()) << "Space closes";
    list->show();
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible()) << "Escape closes";

    receive(1, 229.9F);
    list->move(200, 300);
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command3")), Qt::LeftButton);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->pos(), QPoint(0, 13)) << "shown again at its fixed place";
    EXPECT_EQ(number(0), "1") << "readings captured while hidden are listed";
}

TEST_F(ListWindowTest, ToExcelWritesEveryReadingIncludingOneArrivingWhileTheDialogIsOpen)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("readings.csv"));
    receive(1, 229.9F);
    receive(9, 3.0F);
    dialog.answer = path.toStdString();
    dialog.whileOpen = [this] { receive(2, 12.5F); };
    list->show();

    QTest::mouseClick(button("Command3"), Qt::LeftButton);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(),
        "NO.;FUN;DATA;UNIT;Time;Date\r\n"
        " 1;FUN_VAC;229.8;v;14:03:07;01/05/24\r\n"
        " 2;;;v;14:03:07;01/05/24\r\n"
        " 3;FUN_AAC;12.5;A;14:03:07;01/05/24\r\n");
    EXPECT_EQ(dialog.requests, std::vector<std::string> {"csv files (*.csv)|*.csv"});
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ListWindowTest, SaveIntoAMissingFolderTellsTheUserAndKeepsRunning)
{
    QTemporaryDir folder;
    receive(1, 229.9F);
    dialog.answer = folder.filePath(QStringLiteral("no-such-folder/report.txt")).toStdString();
    list->show();

    QTest::mouseClick(button("Command2"), Qt::LeftButton);

    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("no-such-folder/report.txt")))
        << messages[0].toStdString();
    receive(3, 1.5F);
    EXPECT_EQ(number(0), "2") << "readings go on being listed";
}

TEST_F(ListWindowTest, SaveWithNoRecordsAsksNothing)
{
    list->show();
    QTest::mouseClick(button("Command2"), Qt::LeftButton);
    EXPECT_TRUE(dialog.requests.empty());
}

QString accessibleText(QObject* control, QAccessible::Text which)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    return face != nullptr ? face->text(which) : QStringLiteral("<no interface>");
}

TEST_F(ListWindowTest, ScreenReadersGetANameForEveryControlAndTheReadingAsValue)
{
    receive(2, 12.5F);
    const struct {
        const char* control;
        const char* name;
        const char* value;
    } spoken[] = {
        {"maindatashow", "Latest reading", "12.5"},
        {"Label1", "Unit of the latest reading", "A"},
        {"Label4", "Number of records", "1"},
        {"Label2", "MAX:  50000", "MAX:  50000"},
        {"MSFlexGrid1", "Readings list", nullptr},
        {"Image1", "Close", nullptr},
        {"Command4", "Print", nullptr},
    };
    auto* panel = list->findChild<QWidget*>(QStringLiteral("Picture1"));
    EXPECT_TRUE(panel->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(accessibleText(panel, QAccessible::Description), "12.5 A")
        << "the latest reading, said when the keyboard lands on its panel";
    for (const auto& s : spoken) {
        auto* control = list->findChild<QWidget*>(QString::fromLatin1(s.control));
        ASSERT_NE(control, nullptr) << s.control;
        EXPECT_EQ(accessibleText(control, QAccessible::Name), QString::fromLatin1(s.name))
            << s.control;
        if (s.value != nullptr) {
            EXPECT_EQ(accessibleText(control, QAccessible::Value), QString::fromLatin1(s.value))
                << s.control;
        }
    }
}

/// The darkest pixel of a rectangle of a picture, as a grey level.
int darkest(const QImage& picture, const QRect& area)
{
    int level = 255;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            level = std::min(level, qGray(picture.pixel(x, y)));
    return level;
}

TEST_F(ListWindowTest, KeepsItsColoursUnderADarkDesktopTheme)
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    dark.setColor(QPalette::WindowText, QColor(235, 235, 235));
    dark.setColor(QPalette::Base, QColor(20, 20, 20));
    dark.setColor(QPalette::Text, QColor(240, 240, 240));
    dark.setColor(QPalette::Button, QColor(45, 45, 45));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    const QPalette original = QApplication::palette();
    QApplication::setPalette(dark);
    SetUp(); // a window made under the dark theme
    receive(1, 229.9F);
    list->show();
    const QImage look = list->grab().toImage();
    QApplication::setPalette(original);

    const auto rectOf = [&](const char* name) {
        auto* w = list->findChild<QWidget*>(QString::fromLatin1(name));
        return QRect(w->mapTo(list, QPoint(0, 0)), w->size());
    };
    EXPECT_LT(darkest(look, rectOf("maindatashow")), 40) << "the reading is black";
    EXPECT_LT(darkest(look, rectOf("Label3")), 40) << "DataNo. is black";
    const QRect firstRow = grid->visualRect(grid->model()->index(0, 0))
                               .translated(grid->viewport()->mapTo(list, QPoint(0, 0)));
    EXPECT_LT(darkest(look, firstRow), 40) << "a cell's text is black";
    const QPoint cellCorner = firstRow.topLeft() + QPoint(2, 2);
    EXPECT_EQ(look.pixelColor(cellCorner), QColor(Qt::white)) << "data cells are white";
    const QPoint header = grid->horizontalHeader()->mapTo(list, QPoint(2, 2));
    EXPECT_EQ(look.pixelColor(header), ListGridView::kFixedCellColour);
}

TEST_F(ListWindowTest, ExitClosesTheListWindowToo)
{
    form->show();
    list->show();
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command5")), Qt::LeftButton);
    EXPECT_FALSE(list->isVisible());
}

using test::Press;

class ListWindowDrag : public ListWindowTest, public testing::WithParamInterface<Press> { };

TEST_P(ListWindowDrag, MovesOnlyFromTheBackground)
{
    list->show();
    EXPECT_EQ(test::dragMovesWindow(list, GetParam().at, GetParam().button), GetParam().moves);
}

INSTANTIATE_TEST_SUITE_P(Presses, ListWindowDrag,
    testing::Values(Press {"TitleBandLeftButton", {200, 15}, Qt::LeftButton, true},
        Press {"BodyRightButton", {300, 175}, Qt::RightButton, true},
        Press {"FrameMiddleButton", {2, 400}, Qt::MiddleButton, true},
        Press {"TitleLabel", {30, 15}, Qt::LeftButton, false},
        Press {"CounterCaption", {20, 170}, Qt::LeftButton, false},
        Press {"Counter", {90, 170}, Qt::RightButton, false},
        Press {"ReadingPanel", {12, 36}, Qt::LeftButton, false},
        Press {"ReadingLabel", {100, 60}, Qt::LeftButton, false},
        Press {"Grid", {150, 400}, Qt::LeftButton, false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(ListWindowTest, FocusStartsOnTheGridThenPanelThenTheButtons)
{
    list->show();
    QApplication::setActiveWindow(list);
    ASSERT_TRUE(QTest::qWaitForWindowActive(list));
    EXPECT_EQ(QApplication::focusWidget(), grid);

    QStringList order;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(order, (QStringList {"Picture1", "Command1", "Command2", "Command3", "Command4"}));
}

TEST_F(ListWindowTest, KeysKeepTheCurrentCellInViewWhileReadingsLeaveAScrolledViewAlone)
{
    list->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    for (int i = 0; i < 200; ++i)
        receive(1, 200.0F + static_cast<float>(i));
    grid->setFocus();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int presses;
    } steps[] = {
        {Qt::Key_Down, Qt::NoModifier, 60},
        {Qt::Key_PageDown, Qt::NoModifier, 3},
        {Qt::Key_End, Qt::ControlModifier, 1},
        {Qt::Key_Up, Qt::NoModifier, 30},
        {Qt::Key_PageUp, Qt::NoModifier, 2},
        {Qt::Key_Home, Qt::ControlModifier, 1},
        {Qt::Key_End, Qt::NoModifier, 1},
        {Qt::Key_Home, Qt::NoModifier, 1},
        {Qt::Key_End, Qt::ControlModifier, 1},
    };
    for (const auto& step : steps) {
        for (int i = 0; i < step.presses; ++i)
            QTest::keyClick(grid, step.key, step.modifiers);
        const QRect cell = grid->visualRect(grid->currentIndex());
        EXPECT_TRUE(grid->viewport()->rect().contains(cell))
            << QKeySequence(step.key | step.modifiers).toString().toStdString() << ": row "
            << grid->currentIndex().row() << " at y " << cell.y();
    }
    EXPECT_EQ(grid->currentIndex().row(), grid->model()->rowCount() - 1);

    const int scrolled = grid->verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);
    receive(1, 100.0F);
    QApplication::processEvents();
    EXPECT_EQ(grid->verticalScrollBar()->value(), scrolled) << "a reading does not pull the view";
}

TEST_F(ListWindowTest, TheGridFollowsTheNewestReadingWithoutAWordToScreenReaders)
{
    // The view's answers to these signals are what a screen reader hears as focus and
    // selection events.
    QSignalSpy moves(grid->selectionModel(), &QItemSelectionModel::currentChanged);
    // Rows inserted over a selection report an empty change, which the view tells nobody.
    int selections = 0;
    const QObject listening; // ends the connection with the test
    QObject::connect(grid->selectionModel(), &QItemSelectionModel::selectionChanged, &listening,
        [&](const QItemSelection& selected, const QItemSelection& deselected) {
            selections += selected.isEmpty() && deselected.isEmpty() ? 0 : 1;
        });
    const QModelIndex newestTime = grid->model()->index(0, 3);

    receive(1, 229.9F); // the window is hidden
    receive(1, 230.1F);
    EXPECT_EQ(moves.count(), 0);
    EXPECT_EQ(selections, 0);
    EXPECT_EQ(grid->currentIndex(), newestTime) << "the cell still follows, quietly";

    list->show();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    receive(1, 230.3F); // shown, the focus in another window
    EXPECT_EQ(moves.count(), 0);
    EXPECT_EQ(selections, 0);
    EXPECT_EQ(grid->currentIndex(), newestTime);

    list->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(list));
    grid->setFocus();
    ASSERT_TRUE(grid->hasFocus());
    receive(1, 230.5F); // the grid holds the focus
    EXPECT_EQ(moves.count(), 0) << "a time stamp a second would drown everything else";
    EXPECT_EQ(selections, 0);
    EXPECT_EQ(grid->currentIndex(), newestTime);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(moves.count(), 1) << "what the user does is told";
}

TEST_F(ListWindowTest, ACellTheUserMovedToStaysOnItsReadingUntilTheUserComesBackToRowOne)
{
    for (int i = 0; i < 20; ++i)
        receive(1, 200.0F + static_cast<float>(i));
    list->show();
    list->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(list));
    grid->setFocus();

    for (int i = 0; i < 3; ++i)
        QTest::keyClick(grid, Qt::Key_Down);
    ASSERT_EQ(grid->currentIndex().row(), 3);
    const QString reading = number(3);
    receive(1, 300.0F);
    receive(1, 301.0F);
    EXPECT_EQ(grid->currentIndex().row(), 5) << "moved down with its reading";
    EXPECT_EQ(number(grid->currentIndex().row()), reading);

    const QModelIndex clicked = grid->model()->index(8, 1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(clicked).center());
    receive(1, 302.0F);
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(9, 1)) << "a click leaves it too";

    QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
    ASSERT_EQ(grid->currentIndex().row(), 0);
    receive(1, 303.0F);
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(0, 3)) << "back on row 1: it follows";
}

/// The region each widget painted while it was installed.
class PaintRecorder final : public QObject {
public:
    PaintRecorder() { QApplication::instance()->installEventFilter(this); }
    ~PaintRecorder() override { QApplication::instance()->removeEventFilter(this); }

    std::map<const QWidget*, QRegion> painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted[static_cast<QWidget*>(watched)] += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

QRect scrollBarHandle(QScrollBar* bar)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    return bar->style()->subControlRect(
        QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
}

TEST_F(ListWindowTest, AReadingRepaintsOnlyWhatChanged)
{
    list->show();
    list->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(list));
    auto* counter = list->findChild<QWidget*>(QStringLiteral("Label4"));
    auto* reading = list->findChild<QWidget*>(QStringLiteral("maindatashow"));
    QWidget* cells = grid->viewport();
    QWidget* numbers = grid->verticalHeader()->viewport();
    QScrollBar* bar = grid->verticalScrollBar();
    // At 60 rows the scroll bar's handle shrinks with each row; at 2000 it has its least
    // length and stays at the top.
    for (const int rows : {60, 2000}) {
        while (grid->model()->rowCount() < rows)
            receive(1, 200.0F + static_cast<float>(grid->model()->rowCount() % 50));
        QTest::qWait(50);
        const QRect handleBefore = scrollBarHandle(bar);
        PaintRecorder recorder;
        receive(1, 300.0F);
        QApplication::processEvents();

        const int rowHeight = grid->rowHeight(0);
        const QRect newRow(0, 0, cells->width(), rowHeight);
        const QRect oldCurrent = grid->visualRect(grid->model()->index(1, 3));
        std::set<const QWidget*> expected {counter, reading, cells, numbers};
        if (scrollBarHandle(bar) != handleBefore)
            expected.insert(bar);
        std::set<const QWidget*> painters;
        for (const auto& [widget, region] : recorder.painted)
            painters.insert(widget);
        EXPECT_EQ(painters, expected) << rows << " rows: only these paint";
        EXPECT_EQ(recorder.painted[cells] - QRegion(newRow) - QRegion(oldCurrent), QRegion())
            << rows << " rows: the new row and the cell that lost the selection";
        EXPECT_EQ(recorder.painted[numbers] - QRegion(0, 0, numbers->width(), rowHeight), QRegion())
            << rows << " rows: the new record number";
    }
}

TEST_F(ListWindowTest, GridCellsLookAsQtsOwnDelegatePaintsThem)
{
    list->show();
    list->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(list));
    for (int i = 0; i < 30; ++i)
        receive(static_cast<std::uint8_t>(1 + i % 7), 0.5F + 37.25F * static_cast<float>(i));
    QApplication::processEvents();
    // The scroll bars are not the delegate's; held as they are, a narrower column cannot
    // show or hide one a layout pass later in only one of the two pictures.
    const auto hold = [](QScrollBar* bar) {
        return bar->isVisible() ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    };
    grid->setHorizontalScrollBarPolicy(hold(grid->horizontalScrollBar()));
    grid->setVerticalScrollBarPolicy(hold(grid->verticalScrollBar()));
    // A new delegate lays the grid out again a pass later: a picture counts once two taken
    // one after the other agree.
    const auto settledPicture = [this] {
        QImage last = grid->grab().toImage();
        for (int tries = 0; tries < 50; ++tries) {
            QTest::qWait(20);
            QImage now = grid->grab().toImage();
            if (now == last)
                break;
            last = std::move(now);
        }
        return last;
    };
    const auto expectSameAsQtsDelegate = [this, &settledPicture](const char* step) {
        QAbstractItemDelegate* ours = grid->itemDelegate();
        const QImage painted = settledPicture();
        QStyledItemDelegate qts;
        grid->setItemDelegate(&qts);
        const QImage expected = settledPicture();
        grid->setItemDelegate(ours);
        QTest::qWait(20);
        EXPECT_EQ(painted, expected) << step;
    };

    expectSameAsQtsDelegate("following the newest reading");
    grid->setFocus();
    expectSameAsQtsDelegate("with the keyboard focus on the current cell");
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_Left, Qt::ShiftModifier);
    expectSameAsQtsDelegate("a range selected");
    grid->setColumnWidth(1, 24);
    expectSameAsQtsDelegate("text cut by a narrow column");
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    expectSameAsQtsDelegate("the window inactive");
    grid->setEnabled(false);
    expectSameAsQtsDelegate("the grid disabled");
}

TEST_F(ListWindowTest, TheGridEndsAtItsLastRow)
{
    list->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    for (int i = 0; i < 5; ++i)
        receive(1, 200.0F + static_cast<float>(i));
    QApplication::processEvents();
    const int rows = grid->model()->rowCount();
    const auto whiteBelow = [](QWidget* widget, int top) {
        const QImage image = widget->grab().toImage();
        for (int y = top; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) != Qt::white)
                    return false;
        return true;
    };
    const int bottom = grid->rowViewportPosition(rows - 1) + grid->rowHeight(rows - 1);
    EXPECT_TRUE(whiteBelow(grid->viewport(), bottom)) << "no cells or lines below the last row";
    EXPECT_TRUE(whiteBelow(grid->verticalHeader()->viewport(), bottom)) << "nor record numbers";
    EXPECT_EQ(grid->verticalScrollBar()->maximum(), 0) << "nothing to scroll to";
    const QModelIndex current = grid->currentIndex();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(10, bottom + 5));
    EXPECT_EQ(grid->currentIndex(), current) << "a click below the last row selects nothing";

    for (int i = 0; i < 100; ++i)
        receive(1, 300.0F + static_cast<float>(i));
    QScrollBar* bar = grid->verticalScrollBar();
    bar->setValue(bar->maximum());
    QApplication::processEvents();
    const int last = grid->model()->rowCount() - 1;
    const QRect lastCell = grid->visualRect(grid->model()->index(last, 0));
    EXPECT_EQ(lastCell.bottom() + 1 + 1, grid->viewport()->height())
        << "the last row (and its grid line) at the bottom, at the end of the range";
    grid->doItemsLayout();
    QApplication::processEvents();
    EXPECT_EQ(grid->visualRect(grid->model()->index(last, 0)), lastCell)
        << "and there it stays when the grid is laid out again";

    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(last - 3, 1));
    QTest::keyClick(grid, Qt::Key_PageDown);
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(last, 1)) << "a page down ends there";
}

TEST_F(ListWindowTest, GridOnScreenMatchesAFullRepaint)
{
    list->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    // What the window shows: its backing store, not a fresh rendering as QWidget::grab makes.
    const auto onScreen = [this] {
        QApplication::processEvents();
        const QRect area(grid->mapTo(list, QPoint(0, 0)), grid->size());
        return list->screen()
            ->grabWindow(list->winId(), area.x(), area.y(), area.width(), area.height())
            .toImage();
    };
    const auto receiveReadings = [this](int count) {
        for (int i = 0; i < count; ++i) {
            receive(1, 200.0F + static_cast<float>(i));
            QApplication::processEvents();
        }
    };
    const auto expectFullRepaintLooksTheSame = [&](const char* step) {
        const QImage shown = onScreen();
        grid->repaint();
        EXPECT_EQ(shown, onScreen()) << step;
    };

    receiveReadings(40);
    expectFullRepaintLooksTheSame("readings arriving at the top");
    grid->verticalScrollBar()->setValue(5);
    receiveReadings(10);
    expectFullRepaintLooksTheSame("readings arriving while scrolled down");
    grid->verticalScrollBar()->setValue(0);
    receiveReadings(5);
    expectFullRepaintLooksTheSame("readings arriving after scrolling back");
    list->Command1_Click();
    receiveReadings(3);
    expectFullRepaintLooksTheSame("readings arriving after a clear");
}

} // namespace
} // namespace clampmeter

namespace clampmeter {
namespace {

TEST_F(ListWindowTest, PrintPutsEveryRecordOnPagesOfThirtySixWithTodaysDate)
{
    for (int i = 0; i < 37; ++i)
        receive(1, 230.0F);
    QTest::mouseClick(button("Command4"), Qt::LeftButton);

    EXPECT_EQ(documents, std::vector<std::string> {"KR-6080 Data Report"});
    EXPECT_TRUE(printer->ended);
    EXPECT_EQ(printer->pages, 2);
    const std::vector<test::PrintedItem> second = printer->textsOn(2);
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(second.back().text, "Page 2   (01/05/24)");
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(ListWindowTest, AFailedPrintoutShowsPrintDataErrorOnce)
{
    receive(1, 230.0F);
    for (int failAt : {0, 12}) {
        SCOPED_TRACE(failAt);
        messages.clear();
        titles.clear();
        failPrinterAtCall = failAt;
        QTest::mouseClick(button("Command4"), Qt::LeftButton);
        EXPECT_FALSE(printer->ended) << "the document is abandoned, not sent";
        EXPECT_EQ(messages, QStringList {"print data error!"});
        EXPECT_EQ(titles, QStringList {"KR-610"});
    }
}

} // namespace
} // namespace clampmeter
