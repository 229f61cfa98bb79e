// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The main panel as a screen reader meets it: every control named, the readings read as
// values.

#include "form1_fixture.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace clampmeter {
namespace {

/// The panel's own controls, without the windows it owns.
std::vector<QWidget*> controlsOf(QWidget* panel)
{
    std::vector<QWidget*> found;
    for (QObject* child : panel->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr || widget->isWindow())
            continue;
        found.push_back(widget);
        for (QWidget* inner : controlsOf(widget))
            found.push_back(inner);
    }
    return found;
}

QString read(QObject* control, QAccessible::Text which)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    return face != nullptr ? face->text(which) : QStringLiteral("<no interface>");
}

TEST_F(Form1Test, EveryControlHasANameOfItsOwn)
{
    const std::vector<QWidget*> controls = controlsOf(form.get());
    ASSERT_GE(controls.size(), 22U);
    std::set<QString> names;
    for (QWidget* control : controls) {
        const QString name = read(control, QAccessible::Name);
        EXPECT_FALSE(name.isEmpty()) << control->objectName().toStdString();
        EXPECT_TRUE(names.insert(name).second)
            << control->objectName().toStdString() << " shares its name " << name.toStdString();
    }
}

struct Spoken {
    const char* control;
    const char* name;
    const char* value;
};

TEST_F(Form1Test, ReadingsAreReadAsNameAndValue)
{
    EXPECT_EQ(read(label("MainDataLabel"), QAccessible::Value), "000.0");
    EXPECT_EQ(read(label("Image1"), QAccessible::Description), "Turned to OFF");
    receive({.wiring = 3,
        .phase = 2,
        .number = 9,
        .flags = 0x01,
        .functionCode = 2,
        .mainValue = 12.5F,
        .secondaryValue = 230.0F});

    const Spoken spoken[] = {
        {"MainDataLabel", "Main reading", "12.5"},
        {"Label7", "Unit of the main reading", "A"},
        {"SlaveDataLabel", "Secondary reading", "230"},
        {"Label8", "Unit of the secondary reading", "v"},
        {"Label1", "Function", "AC"},
        {"Label9", "Secondary function", "AC"},
        {"Label12", "Phase", "@2"},
        {"Label11", "Number", "09"},
        {"Label6", "Wiring", "3@3w"},
        {"Label13", "Battery low", "bat"},
        {"Label10", "Memory", " MEM"},
        {"Label3", "No data", "NO DATA"},
    };
    for (const Spoken& s : spoken) {
        QLabel* l = label(s.control);
        EXPECT_EQ(read(l, QAccessible::Name), QString::fromLatin1(s.name)) << s.control;
        EXPECT_EQ(read(l, QAccessible::Value), QString::fromLatin1(s.value)) << s.control;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(l);
        EXPECT_EQ(face->role(), QAccessible::StaticText) << s.control;
        // What a screen reader reads on request: the text, through the text interface.
        QAccessibleTextInterface* text = face->textInterface();
        ASSERT_NE(text, nullptr) << s.control;
        EXPECT_EQ(text->text(0, text->characterCount()), QString::fromLatin1(s.value)) << s.control;
        EXPECT_EQ(face->valueInterface(), nullptr) << "a label is no value a user can set";
    }
    // The display as the keyboard reaches it: the whole reading, read when asked.
    auto* display = form->findChild<QWidget*>(QStringLiteral("Picture1"));
    EXPECT_TRUE(display->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(read(display, QAccessible::Name), "Display");
    EXPECT_EQ(read(display, QAccessible::Description), "12.5 A AC, 230 v AC");
    EXPECT_EQ(read(label("Image1"), QAccessible::Name), "Selector dial");
    EXPECT_EQ(read(label("Image1"), QAccessible::Description), "Turned to A AC");
    auto* list = form->findChild<QPushButton*>(QStringLiteral("Command3"));
    EXPECT_EQ(read(list, QAccessible::Name), "List");
    EXPECT_EQ(read(list, QAccessible::Description), "Shows the list of readings");
}

TEST_F(Form1Test, TabReachesTheDisplayAndTheCommandsAndEnterOrSpaceGivesThem)
{
    receive({.functionCode = 1, .mainValue = 229.5F});
    form->setDisplayPanelVisible(true); // as the link does once frames arrive
    form->setNoDataPanelVisible(false);
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QStringList reached;
    for (int i = 0; i < 8 && reached.size() < 4; ++i) {
        QTest::keyClick(
            QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : form.get(),
            Qt::Key_Tab);
        const QString name = QApplication::focusWidget() != nullptr
            ? QApplication::focusWidget()->accessibleName()
            : QString();
        if (!name.isEmpty() && !reached.contains(name))
            reached << name;
    }
    reached.sort();
    EXPECT_EQ(reached, (QStringList {"Display", "Exit", "Graph", "List"}));

    int lists = 0;
    const QObject listening; // ends the connection with the test
    QObject::connect(form.get(), &Form1::listRequested, &listening, [&] { ++lists; });
    auto* list = form->findChild<QPushButton*>(QStringLiteral("Command3"));
    QTest::keyClick(list, Qt::Key_Return);
    QTest::keyClick(list, Qt::Key_Enter);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(lists, 3);
}

} // namespace
} // namespace clampmeter
