// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The session journal on the event loop, and the offer to save an unfinished session.

#include "app/form1.h"
#include "app/journal_keeper.h"
#include "app/recovery_offer.h"
#include "platform/qt_output_files.h"

#include "../journal/journal_fixture.h"
#include "link/static_serial_device_map.h"
#include "private_mount.h"

#include <QTest>

#include <fstream>

namespace clampmeter::test {
namespace {

namespace fs = std::filesystem;

class JournalKeeperTest : public JournalFixture {
protected:
    JournalKeeper makeKeeper(const fs::path& at)
    {
        return JournalKeeper(
            {at, "20261210T130000Z-1", "clampmeter test", 1},
            [] { return std::chrono::system_clock::now(); },
            [this](const QString& text) { m_messages.push_back(text); });
    }

    static void capture(JournalKeeper& keeper, int n)
    {
        const NumberedReading reading = numberedReading(n);
        keeper.readingCaptured(FrameBytes(reading.frame), reading.record, true);
    }

    std::vector<QString> m_messages;
};

TEST_F(JournalKeeperTest, WhatWasWrittenReachesTheDiskWithinASecond)
{
    JournalKeeper keeper = makeKeeper(folder());
    keeper.start();
    capture(keeper, 1);
    capture(keeper, 2);
    EXPECT_TRUE(keeper.journal().needsSync());
    QTest::qWait(static_cast<int>(JournalKeeper::kSyncDelay.count()) + 300);
    EXPECT_FALSE(keeper.journal().needsSync());
    keeper.close();
    EXPECT_TRUE(readBack(keeper.journal().filePath()).endedCleanly);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(JournalKeeperTest, AJournalThatCannotBeMadeIsSaidOnceAfterTheCaptureAndTriedAgain)
{
    // A file where the folder should be: no folder can be made there, even by root.
    fs::create_directories(m_temp.path());
    std::ofstream(m_temp.path() / "blocked") << "x";
    JournalKeeper keeper = makeKeeper(m_temp.path() / "blocked" / "sessions");
    keeper.start();
    capture(keeper, 1);
    EXPECT_TRUE(m_messages.empty()) << "said inside the handler that met it";
    QCoreApplication::processEvents();
    capture(keeper, 2);
    QCoreApplication::processEvents();
    ASSERT_EQ(m_messages.size(), 1U);
    EXPECT_TRUE(m_messages[0].contains(QStringLiteral("Not a directory")))
        << m_messages[0].toStdString();
    EXPECT_TRUE(keeper.retrying());
}

TEST_F(JournalKeeperTest, OnAFullDiskTheProgramCapturesOnAndSaysSoOnce)
{
    fs::create_directories(folder());
    const PrivateMount disk = PrivateMount::tmpfs(folder(), "16k");
    if (!disk.unavailable().empty())
        GTEST_SKIP() << disk.unavailable();
    class Clock final : public CaptureClock {
    public:
        CaptureTime now() override { return {"10/12/26", "14:03:07"}; }
    } clock;
    auto vars = std::make_unique<VarModule>();
    StaticSerialDeviceMap map;
    Form1 form(Form1::Services {*vars, map, clock, [](const QString&, const QString&) {}});
    JournalKeeper keeper = makeKeeper(folder());
    keeper.start();
    form.setJournal(&keeper);
    for (int n = 1; n <= 300; ++n) {
        const NumberedReading reading = numberedReading(n);
        form.onAcceptedFrame(FrameBytes(reading.frame));
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(vars->DataCount, 300);
    ASSERT_EQ(m_messages.size(), 1U);
    EXPECT_TRUE(m_messages[0].contains(QStringLiteral("No space left on device")));
    EXPECT_TRUE(keeper.retrying());
}

class FakeDialog final : public SaveDialog {
public:
    std::string showSave(const SaveDialogRequest& request) override
    {
        filters.emplace_back(request.filter);
        return answer;
    }
    std::string answer;
    std::vector<std::string> filters;
};

class RecoveryOfferTest : public JournalFixture {
protected:
    void SetUp() override
    {
        {
            // Ended by a crash: never closed.
            SessionJournal journal = makeJournal();
            ASSERT_TRUE(journal.start());
            for (int n = 1; n <= 3; ++n)
                capture(journal, n);
        }
        m_unfinished = findUnfinishedSession(folder(), "x");
        ASSERT_TRUE(m_unfinished.has_value());
    }

    RecoveryServices services(bool save)
    {
        return {m_dialog, m_files, m_clock,
            [this, save](const QString& text) {
                m_asked.push_back(text);
                return save;
            },
            [this](const QString& text) { m_asked.push_back(text); }};
    }

    class Clock final : public CaptureClock {
    public:
        CaptureTime now() override { return {"11/12/26", "09:00:00"}; }
    } m_clock;
    FakeDialog m_dialog;
    QtOutputFiles m_files {"UTF-8"};
    std::optional<UnfinishedSession> m_unfinished;
    std::vector<QString> m_asked;
};

TEST_F(RecoveryOfferTest, LaterLeavesTheReadingsInTheJournal)
{
    RecoveryServices later = services(false);
    offerRecovery(*m_unfinished, later);
    ASSERT_EQ(m_asked.size(), 1U);
    EXPECT_TRUE(
        m_asked[0].startsWith(QStringLiteral("The last session ended unexpectedly. Its 3")));
    EXPECT_TRUE(m_dialog.filters.empty());
    EXPECT_TRUE(findUnfinishedSession(folder(), "x").has_value());
}

TEST_F(RecoveryOfferTest, SaveAsksForANameInEitherFormatAndWritesIt)
{
    m_dialog.answer = (m_temp.path() / "lost.csv").string();
    RecoveryServices save = services(true);
    offerRecovery(*m_unfinished, save);
    ASSERT_EQ(m_dialog.filters, std::vector<std::string> {std::string(kRecoveryFilter)});
    std::ifstream in(m_dialog.answer, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text,
        "NO.;FUN;DATA;UNIT;Time;Date\r\n 1;FUN_VAC;1.0;v;14:00:11;10/12/26\r\n"
        " 2;FUN_VAC;2.0;v;14:00:12;10/12/26\r\n 3;FUN_VAC;3.0;v;14:00:13;10/12/26\r\n");
    EXPECT_FALSE(findUnfinishedSession(folder(), "x").has_value());
}

} // namespace
} // namespace clampmeter::test
