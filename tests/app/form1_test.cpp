// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "form1_fixture.h"

#include "app/meter_artwork.h"
#include "app/window_shape.h"

#include "window_press.h"

#include <QApplication>
#include <QBitmap>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace clampmeter {
namespace {

struct Placement {
    const char* name;
    QRect pixels;
};

TEST_F(Form1Test, ControlsSitAtTheirPlaces)
{
    EXPECT_EQ(form->size(), QSize(299, 706));
    const Placement placements[] = {
        {"Picture1", {82, 482, 124, 107}},
        {"Picture3", {82, 482, 124, 107}},
        {"Image1", {72, 291, 142, 131}},
        {"Picture2", {224, 464, 65, 74}},
        {"Label2", {88, 224, 121, 25}},
        {"MainDataLabel", {0, 22, 89, 33}},
        {"SlaveDataLabel", {24, 64, 70, 25}},
        {"Label1", {8, 8, 17, 17}},
        {"Label4", {32, 8, 19, 17}},
        {"Label6", {56, 8, 36, 17}},
        {"Label5", {96, 8, 25, 17}},
        {"Label7", {85, 36, 33, 17}},
        {"Label9", {24, 56, 49, 17}},
        {"Label8", {80, 72, 33, 17}},
        {"Label10", {0, 76, 25, 17}},
        {"Label11", {4, 88, 22, 17}},
        {"Label12", {48, 90, 17, 17}},
        {"Label13", {104, 90, 17, 17}},
        {"Label3", {8, 32, 97, 25}},
        {"Command3", {0, 0, 65, 25}},
        {"Command2", {0, 24, 65, 25}},
        {"Command5", {0, 48, 65, 25}},
    };
    for (const auto& p : placements) {
        auto* widget = form->findChild<QWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(widget, nullptr) << p.name;
        EXPECT_EQ(widget->geometry(), p.pixels) << p.name;
    }
}

TEST_F(Form1Test, StartsWithDesignCaptionsAndTheNoDataPanel)
{
    const std::pair<const char*, const char*> captions[] = {
        {"MainDataLabel", "000.0"},
        {"SlaveDataLabel", "000.0"},
        {"Label1", "AC"},
        {"Label7", "kw"},
        {"Label9", "AC"},
        {"Label8", "v"},
        {"Label12", "@1"},
        {"Label11", "00"},
        {"Label6", "3@3w"},
        {"Label13", "bat"},
        {"Label4", "MR"},
        {"Label10", " MEM"},
        {"Label5", "MAX"},
        {"Label3", "NO DATA"},
        {"Label2", "KR-6080"},
    };
    for (const auto& [name, text] : captions)
        EXPECT_EQ(caption(name), QString::fromLatin1(text)) << name;
    EXPECT_EQ(form->findChild<QPushButton*>("Command3")->text(), "List");
    EXPECT_EQ(form->findChild<QPushButton*>("Command2")->text(), "Graph");
    EXPECT_EQ(form->findChild<QPushButton*>("Command5")->text(), "Exit");
    EXPECT_EQ(label("MainDataLabel")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(label("SlaveDataLabel")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(label("Label3")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(label("MainDataLabel")->font().bold());
    EXPECT_EQ(label("MainDataLabel")->font().pointSizeF(), 24.0);
    EXPECT_EQ(label("Label11")->font().pointSizeF(), 10.5);

    form->show();
    EXPECT_FALSE(form->findChild<QWidget*>("Picture1")->isVisible());
    EXPECT_TRUE(form->findChild<QWidget*>("Picture3")->isVisible());
    EXPECT_FALSE(label("Label5")->isVisible());
    EXPECT_FALSE(label("Label2")->isVisible());
    EXPECT_EQ(form->dialPicture(), 1);
}

struct StartFailure {
    const char* name;
    StaticSerialDeviceMap::Readability readability;
    const char* message;
};

void PrintTo(const StartFailure& row, std::ostream* out)
{
    *out << row.name;
}

class Form1StartFailure : public Form1Test, public testing::WithParamInterface<StartFailure> { };

TEST_P(Form1StartFailure, ShowsTheMessageAndNoWindow)
{
    StaticSerialDeviceMap map(StaticSerialDeviceMap::Values {{R"(\Device\Serial0)", "/dev/ttyS0"}},
        GetParam().readability);
    form = makeForm(map);

    EXPECT_FALSE(form->load());

    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].title, "KR-610");
    EXPECT_EQ(messages[0].text, QString::fromLatin1(GetParam().message));
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Maps, Form1StartFailure,
    testing::Values(StartFailure {"Unreadable", StaticSerialDeviceMap::Readability::Unreadable,
                        "RegOpenKey error!"},
        StartFailure {"NoBridge", StaticSerialDeviceMap::Readability::Readable,
            "No com-port! Please check out the line-connection and the "
            "device-driver-installation!"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(Form1Test, PortThatCannotBeOpenedIsNamedInTheMessage)
{
    StaticSerialDeviceMap map(
        StaticSerialDeviceMap::Values {{R"(\Device\silabser0)", "/dev/clampmeter-no-such-port"}});
    form = makeForm(map);

    EXPECT_FALSE(form->load());

    ASSERT_EQ(messages.size(), 1U);
    EXPECT_TRUE(messages[0].text.contains("/dev/clampmeter-no-such-port"))
        << messages[0].text.toStdString();
}

TEST_F(Form1Test, FirstFrameOfAFunctionSetsCaptionsAndDial)
{
    receive(
        {.phase = 2, .number = 9, .functionCode = 2, .mainValue = 12.5F, .secondaryValue = 230.0F});

    EXPECT_EQ(caption("Label1"), "AC");
    EXPECT_EQ(caption("Label7"), "A");
    EXPECT_EQ(caption("Label9"), "AC");
    EXPECT_EQ(caption("Label8"), "v");
    EXPECT_EQ(caption("Label12"), "@2");
    EXPECT_EQ(caption("Label11"), "09");
    EXPECT_EQ(caption("MainDataLabel"), "12.5");
    EXPECT_EQ(caption("SlaveDataLabel"), "230");
    EXPECT_EQ(form->dialPicture(), 3);
    const QImage shown = label("Image1")->pixmap().toImage();
    EXPECT_EQ(shown, MeterArtwork::dial(3, form->devicePixelRatioF()).toImage());

    ASSERT_EQ(vars->DataCount, 1);
    EXPECT_EQ(vars->DataRecords[0].UnitText, "A");
    EXPECT_EQ(vars->DataRecords[0].StampText, "01/05/24\\14:03:07");
}

TEST_F(Form1Test, LaterFramesKeepWhatTheyDoNotSet)
{
    receive({.phase = 2, .functionCode = 1, .mainValue = 229.9F, .secondaryValue = 50.0F});
    receive({.phase = 0, .functionCode = 9, .mainValue = 1.0F});

    EXPECT_EQ(caption("Label12"), "@2");
    EXPECT_EQ(caption("Label1"), "AC");
    EXPECT_EQ(caption("Label7"), "v");
    EXPECT_EQ(caption("Label9"), "FREQ");
    EXPECT_EQ(caption("Label8"), "Hz");
    EXPECT_EQ(form->dialPicture(), 2);
    EXPECT_EQ(caption("MainDataLabel"), "");
    EXPECT_EQ(caption("SlaveDataLabel"), "");
    EXPECT_EQ(vars->DataRecords[1].UnitText, "v");

    receive({.functionCode = 6, .mainValue = 0.9F});
    EXPECT_EQ(caption("Label1"), " ");
    EXPECT_EQ(caption("Label9"), "");
    receive({.functionCode = 7, .mainValue = 12.5F, .counter = {100, 7}});
    EXPECT_EQ(caption("Label8"), "");
    EXPECT_EQ(caption("SlaveDataLabel"), "100:07");
}

TEST_F(Form1Test, AnnunciatorsFollowTheFlags)
{
    form->show();
    form->setDisplayPanelVisible(true);
    receive({.wiring = 3, .flags = 0x03, .functionCode = 1, .mainValue = 230.0F});
    EXPECT_TRUE(label("Label6")->isVisible());
    EXPECT_TRUE(label("Label13")->isVisible());
    EXPECT_TRUE(label("Label4")->isVisible());
    receive({.wiring = 0, .flags = 0x04, .functionCode = 1, .mainValue = 230.0F});
    EXPECT_FALSE(label("Label6")->isVisible());
    EXPECT_FALSE(label("Label13")->isVisible());
    EXPECT_FALSE(label("Label4")->isVisible());
    EXPECT_TRUE(label("Label10")->isVisible());
}

TEST_F(Form1Test, WhitePixelsAreCutOutOfTheWindow)
{
    StaticSerialDeviceMap map(
        StaticSerialDeviceMap::Values {{R"(\Device\silabser0)", "/dev/clampmeter-no-such-port"}});
    form = makeForm(map);
    form->load(); // fails at the port, after the window style is applied
    const QRegion shape = form->mask();
    ASSERT_FALSE(shape.isEmpty());
    form->clearMask(); // a masked widget renders only its mask's bounding box

    QImage look(form->size(), QImage::Format_RGB32);
    look.fill(Qt::white);
    form->render(&look);
    for (int y = 0; y < look.height(); y += 3) {
        for (int x = 0; x < look.width(); x += 3) {
            const bool white = look.pixel(x, y) == qRgb(255, 255, 255);
            ASSERT_EQ(shape.contains(QPoint(x, y)), !white) << x << "," << y;
        }
    }
    EXPECT_FALSE(shape.contains(QPoint(0, 0))) << "the corner is outside the meter";
    EXPECT_FALSE(shape.contains(QPoint(295, 10))) << "right of the skin, above the buttons";
    EXPECT_TRUE(shape.contains(QPoint(140, 530))) << "the display panel";
    EXPECT_TRUE(shape.contains(QPoint(280, 470))) << "the button box past the skin's edge";
}

/// Something that may change what the panel draws, and whether the outline follows.
struct PictureChange {
    const char* name;
    void (*change)(Form1& panel);
    bool reshapes;
};

void PrintTo(const PictureChange& row, std::ostream* out)
{
    *out << row.name;
}

class Form1Reshape : public Form1Test, public testing::WithParamInterface<PictureChange> {
protected:
    // The outline a fresh rendering of the panel gives, the kept mask left in place.
    QRegion renderedShape()
    {
        const QRegion kept = form->mask();
        form->clearMask(); // a masked widget renders only its mask's bounding box
        QImage look(form->size(), QImage::Format_RGB32);
        look.fill(Qt::white);
        form->render(&look);
        form->setMask(kept);
        return QRegion(shapeMask(look));
    }

    StaticSerialDeviceMap portMap {
        StaticSerialDeviceMap::Values {{R"(\Device\silabser0)", "/dev/clampmeter-no-such-port"}}};
};

TEST_P(Form1Reshape, OutlineFollowsOnlyWhatChangesThePicture)
{
    form = makeForm(portMap);
    form->load(); // fails at the port, after the window style is applied
    ASSERT_FALSE(form->mask().isEmpty());
    const QRegion stale(0, 0, 1, 1);
    form->setMask(stale);

    GetParam().change(*form);
    QCoreApplication::processEvents();

    if (GetParam().reshapes) {
        EXPECT_NE(form->mask(), stale);
        EXPECT_EQ(form->mask(), renderedShape());
    } else {
        EXPECT_EQ(form->mask(), stale) << "reshaped though nothing it draws changed";
    }
}

INSTANTIATE_TEST_SUITE_P(Changes, Form1Reshape,
    testing::Values(
        PictureChange {"DialTurned", [](Form1& panel) { panel.setDialPicture(4); }, true},
        PictureChange {"DialSetToItsPicture", [](Form1& panel) { panel.setDialPicture(1); }, false},
        PictureChange {"DisplayShown",
            [](Form1& panel) {
                panel.setDisplayPanelVisible(true);
                panel.setNoDataPanelVisible(false);
            },
            true},
        PictureChange {"PanelsSetAsTheyAre",
            [](Form1& panel) {
                panel.setDisplayPanelVisible(false);
                panel.setNoDataPanelVisible(true);
            },
            false},
        PictureChange {"FrameOfANewFunction",
            [](Form1& panel) {
                panel.onAcceptedFrame(encodeFrame({.functionCode = 3, .mainValue = 1.5F}));
            },
            true},
        PictureChange {"FramesThatLeaveTheDial",
            [](Form1& panel) {
                panel.onAcceptedFrame(encodeFrame({.wiring = 3,
                    .phase = 2,
                    .number = 42,
                    .flags = 0x03,
                    .functionCode = 9,
                    .mainValue = 229.9F}));
                panel.onAcceptedFrame(
                    encodeFrame({.flags = 0x04, .functionCode = 0, .mainValue = 1.0F}));
            },
            false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(Form1Test, NoOutlineBeforeTheWindowStyle)
{
    form->setDialPicture(4);
    form->setDisplayPanelVisible(true);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->mask().isEmpty());
}

using test::Press;

class Form1Drag : public Form1Test, public testing::WithParamInterface<Press> { };

TEST_P(Form1Drag, MovesOnlyFromTheMeterPictureOrTheDial)
{
    form->show();
    EXPECT_EQ(
        test::dragMovesWindow(form.get(), GetParam().at, GetParam().button), GetParam().moves);
}

INSTANTIATE_TEST_SUITE_P(Presses, Form1Drag,
    testing::Values(Press {"BodyLeftButton", {40, 650}, Qt::LeftButton, true},
        Press {"BodyRightButton", {40, 650}, Qt::RightButton, true},
        Press {"DialMiddleButton", {140, 350}, Qt::MiddleButton, true},
        Press {"DisplayPanel", {90, 490}, Qt::LeftButton, false},
        Press {"NoDataCaption", {140, 520}, Qt::LeftButton, false},
        Press {"ButtonBox", {250, 537}, Qt::LeftButton, false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(Form1Test, ExitClosesTheWindowAndSaysSo)
{
    form->show();
    QSignalSpy closed(form.get(), &Form1::closed);
    QTest::mouseClick(form->findChild<QPushButton*>("Command5"), Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(Form1Test, ListAndGraphButtonsAskForTheirWindows)
{
    QSignalSpy list(form.get(), &Form1::listRequested);
    QSignalSpy graph(form.get(), &Form1::graphRequested);
    QTest::mouseClick(form->findChild<QPushButton*>("Command3"), Qt::LeftButton);
    QTest::mouseClick(form->findChild<QPushButton*>("Command2"), Qt::LeftButton);
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(graph.count(), 1);
}

} // namespace
} // namespace clampmeter
