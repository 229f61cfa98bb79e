// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// QtSaveDialog with Qt's own widget dialog, driven like a user would: find it among the
// top-level widgets, type a name, press Enter or Escape.

#include "../registry/temp_folder.h"
#include "platform/qt_save_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <ostream>
#include <string>

namespace clampmeter {
namespace {

struct FilterCase {
    const char* name;
    const char* filter;
    QStringList expected;
};

void PrintTo(const FilterCase& row, std::ostream* out)
{
    *out << row.name;
}

class NameFilters : public testing::TestWithParam<FilterCase> { };

INSTANTIATE_TEST_SUITE_P(Filters, NameFilters,
    testing::Values(FilterCase {"TextFiles", "text files (*.txt)|*.txt", {"text files (*.txt)"}},
        FilterCase {"CsvFiles", "csv files (*.csv)|*.csv", {"csv files (*.csv)"}},
        FilterCase {"DescriptionWithoutPatterns", "Text|*.txt", {"Text (*.txt)"}},
        FilterCase {"SeveralPatterns", "Pictures|*.png;*.jpg", {"Pictures (*.png *.jpg)"}},
        FilterCase {"SeveralEntries", "text files (*.txt)|*.txt|All files|*.*",
            {"text files (*.txt)", "All files (*.*)"}},
        FilterCase {"Nothing", "", {}}),
    [](const testing::TestParamInfo<FilterCase>& row) { return std::string(row.param.name); });

TEST_P(NameFilters, BecomeQtNameFilters)
{
    EXPECT_EQ(qtNameFilters(GetParam().filter), GetParam().expected);
}

/// Runs `user` on the file dialog once it is shown and its name field has the keyboard, as
/// a user would only type then; rejects every dialog after 10 s, so a test that fails to
/// find its controls ends instead of hanging.
void whenTheDialogShows(std::function<void(QFileDialog&)> user)
{
    auto* poll = new QTimer(qApp);
    poll->setInterval(20);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, tries, user = std::move(user)] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            const auto* nameEdit = dialog != nullptr
                ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                : nullptr;
            if (nameEdit != nullptr && nameEdit->hasFocus()) {
                poll->deleteLater();
                user(*dialog);
                return;
            }
        }
        if (++*tries > 500) {
            poll->deleteLater();
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<QDialog*>(widget))
                    dialog->reject();
            }
        }
    });
    poll->start();
}

struct Seen {
    QString title;
    QStringList nameFilters;
    QString folder;
    QString name;
    bool modal = false;
};

class QtSaveDialogTest : public testing::Test {
protected:
    /// The folder, and a file in it, as the dialog gives paths: with Qt's "/" everywhere.
    QString folderPath() const
    {
        return QDir::fromNativeSeparators(QString::fromStdString(folder.path().string()));
    }
    std::string inFolder(const char* name) const
    {
        return (folderPath() + QLatin1Char('/') + QLatin1String(name)).toStdString();
    }

    TempFolder folder;
    QtSaveDialog dialog {nullptr, SaveDialogStyle::QtWidgets};
    Seen seen;
};

TEST_F(QtSaveDialogTest, OffersTheLastNameAndReturnsABareNameWithTheFiltersSuffix)
{
    const std::string offered = (folder.path() / "old.txt").string();
    whenTheDialogShows([this](QFileDialog& shown) {
        auto* nameEdit = shown.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(nameEdit, nullptr);
        seen = {shown.windowTitle(), shown.nameFilters(), shown.directory().absolutePath(),
            nameEdit->text(), shown.isModal()};
        nameEdit->clear();
        QTest::keyClicks(nameEdit, QStringLiteral("report"));
        QTest::keyClick(nameEdit, Qt::Key_Return);
    });

    const std::string chosen
        = dialog.showSave({"Save", "text files (*.txt)|*.txt", std::string_view(offered)});

    EXPECT_EQ(seen.title, "Save");
    EXPECT_EQ(seen.nameFilters, QStringList {"text files (*.txt)"});
    EXPECT_EQ(seen.folder, folderPath());
    EXPECT_EQ(seen.name, "old.txt");
    EXPECT_TRUE(seen.modal);
    EXPECT_EQ(chosen, inFolder("report.txt")) << "a bare name gets .txt";
}

TEST_F(QtSaveDialogTest, ABareNameGetsTheSuffixOfTheFilterChosenAndATypedOneIsKept)
{
    struct Case {
        int filter; ///< entry chosen in the dialog's type list
        const char* typed;
        const char* chosen;
    };
    const Case cases[] = {
        {0, "lost", "lost.txt"},
        {1, "lost", "lost.csv"},
        {1, "lost.txt", "lost.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        whenTheDialogShows([&c](QFileDialog& shown) {
            auto* types = shown.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            auto* nameEdit = shown.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(types, nullptr);
            ASSERT_NE(nameEdit, nullptr);
            // As a user picks a type with the keys.
            for (int step = 0; step < c.filter; ++step)
                QTest::keyClick(types, Qt::Key_Down);
            QTest::keyClicks(nameEdit, QString::fromLatin1(c.typed));
            QTest::keyClick(nameEdit, Qt::Key_Return);
        });
        const std::string offered = (folder.path() / "x").string();
        EXPECT_EQ(dialog.showSave({"Save", "text files (*.txt)|*.txt|csv files (*.csv)|*.csv",
                      std::string_view(offered)}),
            inFolder(c.chosen));
    }
}

/// Answers the question box that comes up over the dialog with `button`, once it shows.
void whenAQuestionShows(QMessageBox::StandardButton button, QString* text)
{
    auto* poll = new QTimer(qApp);
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, button, text] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box != nullptr && box->isVisible()) {
                poll->deleteLater();
                *text = box->text();
                box->button(button)->click();
                return;
            }
        }
    });
    poll->start();
}

TEST_F(QtSaveDialogTest, AsksBeforeReplacingAFileAndANoLeavesItAlone)
{
    std::ofstream(folder.path() / "kept.csv") << "earlier";
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        QString question;
        whenTheDialogShows([answer, &question](QFileDialog& shown) {
            auto* nameEdit = shown.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(nameEdit, nullptr);
            nameEdit->clear();
            QTest::keyClicks(nameEdit, QStringLiteral("kept"));
            whenAQuestionShows(answer, &question);
            QTest::keyClick(nameEdit, Qt::Key_Return);
            if (answer == QMessageBox::No) // the dialog stays open: cancel it
                QTimer::singleShot(100, &shown, [&shown] { shown.reject(); });
        });
        const std::string offered = (folder.path() / "x.csv").string();
        const std::string chosen
            = dialog.showSave({"Save", "csv files (*.csv)|*.csv", std::string_view(offered)});
        EXPECT_TRUE(question.contains(QStringLiteral("kept.csv"))) << question.toStdString();
        EXPECT_EQ(chosen, answer == QMessageBox::Yes ? inFolder("kept.csv") : std::string());
    }
}

TEST_F(QtSaveDialogTest, ReturnsNothingWhenCancelled)
{
    whenTheDialogShows([](QFileDialog& shown) {
        auto* nameEdit = shown.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(nameEdit, nullptr);
        QTest::keyClicks(nameEdit, QStringLiteral("typed.txt"));
        QTest::keyClick(nameEdit, Qt::Key_Escape);
    });
    const std::string offered = (folder.path() / "old.csv").string();
    EXPECT_EQ(dialog.showSave({"Save", "csv files (*.csv)|*.csv", std::string_view(offered)}), "");
}

} // namespace
} // namespace clampmeter
