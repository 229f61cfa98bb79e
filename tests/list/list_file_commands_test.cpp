// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The "Save" and "To Excel" commands with a scripted dialog, a fixed clock and real files
// written through QSaveFile into a fresh folder. A full disk and a read-only folder are real
// mounts in a mount namespace of the test's own, which needs root: elsewhere those are skipped.

#include "../registry/temp_folder.h"
#include "../support/private_mount.h"
#include "list/list_file_commands.h"
#include "platform/qt_output_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace clampmeter {
namespace {

namespace fs = std::filesystem;

class FixedClock final : public CaptureClock {
public:
    CaptureTime now() override { return {"10/12/26", "14:03:07"}; }
};

/// Answers with the scripted names in turn ("" is a cancel) and keeps what it was asked.
class ScriptedDialog final : public SaveDialog {
public:
    std::string showSave(const SaveDialogRequest& request) override
    {
        requests.push_back({std::string(request.title), std::string(request.filter),
            std::string(request.fileName)});
        if (whileOpen)
            whileOpen();
        if (answers.empty())
            return {};
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }

    struct Request {
        std::string title;
        std::string filter;
        std::string fileName;
    };
    std::vector<Request> requests;
    std::deque<std::string> answers;
    std::function<void()> whileOpen; ///< what the nested event loop does meanwhile
};

/// Real files whose writing or commit fails on purpose, as a full disk would.
class FaultyOutputFiles final : public OutputFiles {
public:
    enum class Fault { Write, Commit };

    explicit FaultyOutputFiles(Fault fault)
        : m_fault(fault)
    {
    }

    std::unique_ptr<OutputFile> create(const std::string& path) override
    {
        return std::make_unique<FaultyFile>(m_real.create(path), m_fault);
    }

private:
    class FaultyFile final : public OutputFile {
    public:
        FaultyFile(std::unique_ptr<OutputFile> real, Fault fault)
            : m_real(std::move(real))
            , m_fault(fault)
        {
        }
        bool write(std::string_view bytes) override
        {
            return m_fault != Fault::Write && m_real->write(bytes);
        }
        bool commit() override { return m_fault != Fault::Commit && m_real->commit(); }
        std::string errorText() const override { return "No space left on device"; }

    private:
        std::unique_ptr<OutputFile> m_real;
        Fault m_fault;
    };

    QtOutputFiles m_real {"UTF-8"};
    Fault m_fault;
};

enum class Command { Save, Export };

std::string commandName(Command command)
{
    return command == Command::Save ? "Save" : "Export";
}

void PrintTo(Command command, std::ostream* out)
{
    *out << commandName(command);
}

/// The name the command's next dialog offers.
const std::string& offeredName(const ListFileCommands& commands, Command command)
{
    return command == Command::Save ? commands.reportFileName() : commands.exportFileName();
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

const std::string kOneRecordReport = "KR-709W Data Report         10/12/26      14:03:07\r\n"
                                     "\r\n"
                                     " 1            FUN_VAC       229.8         v             "
                                     "2024-05-01\\14:03:07\r\n";
const std::string kOneRecordExport = "NO.;FUN;DATA;UNIT;Time;Date\r\n"
                                     " 1;FUN_VAC;229.8;v;14:03:07;2024-05-01\r\n";

class ListFileCommandsTest : public testing::Test {
protected:
    void addRecord()
    {
        DataRecord& record = vars->DataRecords[static_cast<std::size_t>(vars->DataCount)];
        ++vars->DataCount;
        record.No = vars->DataCount;
        record.FunText = "FUN_VAC";
        record.DataText = "229.8";
        record.UnitText = "v";
        record.DateText = "2024-05-01";
        record.TimeText = "14:03:07";
        record.StampText = "2024-05-01\\14:03:07";
    }

    void run(Command command)
    {
        if (command == Command::Save)
            commands.Form1SaveSub();
        else
            commands.Form1ExcelSub();
    }

    std::string path(const char* name) const { return (folder.path() / name).string(); }

    std::vector<fs::path> folderEntries() const
    {
        std::vector<fs::path> entries;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder.path()))
            entries.push_back(entry.path().filename());
        std::sort(entries.begin(), entries.end());
        return entries;
    }

    TempFolder folder;
    std::unique_ptr<VarModule> vars = std::make_unique<VarModule>();
    ScriptedDialog dialog;
    QtOutputFiles files {"UTF-8"};
    FixedClock clock;
    std::vector<std::string> events; ///< failures shown and resynchronisations, in order
    ListFileCommands commands {*vars, dialog, files, clock, [this] { events.push_back("resync"); },
        [this](std::string_view message) { events.emplace_back(message); }};
};

TEST_F(ListFileCommandsTest, SaveAsksForANameWritesTheReportAndResynchronises)
{
    addRecord();
    dialog.answers = {path("report.txt")};
    commands.Form1SaveSub();

    ASSERT_EQ(dialog.requests.size(), 1U);
    EXPECT_EQ(dialog.requests[0].title, "Save");
    EXPECT_EQ(dialog.requests[0].filter, "text files (*.txt)|*.txt");
    EXPECT_EQ(dialog.requests[0].fileName, "") << "nothing is offered the first time";
    EXPECT_EQ(readFile(path("report.txt")), kOneRecordReport);
    EXPECT_EQ(events, (std::vector<std::string> {"resync"}));
    EXPECT_EQ(folderEntries(), (std::vector<fs::path> {"report.txt"}));
}

TEST_F(ListFileCommandsTest, ExportAsksForANameWritesTheExportAndResynchronises)
{
    addRecord();
    dialog.answers = {path("data.csv")};
    commands.Form1ExcelSub();

    ASSERT_EQ(dialog.requests.size(), 1U);
    EXPECT_EQ(dialog.requests[0].title, "Save");
    EXPECT_EQ(dialog.requests[0].filter, "csv files (*.csv)|*.csv");
    EXPECT_EQ(readFile(path("data.csv")), kOneRecordExport);
    EXPECT_EQ(events, (std::vector<std::string> {"resync"}));
}

TEST_F(ListFileCommandsTest, SaveWithNoRecordsShowsNoDialogWritesNothingAndDoesNotResynchronise)
{
    dialog.answers = {path("report.txt")};
    commands.Form1SaveSub();
    EXPECT_TRUE(dialog.requests.empty());
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(folderEntries().empty());
}

TEST_F(ListFileCommandsTest, ExportWithNoRecordsWritesTheHeaderAlone)
{
    dialog.answers = {path("empty.csv")};
    commands.Form1ExcelSub();
    EXPECT_EQ(dialog.requests.size(), 1U);
    EXPECT_EQ(readFile(path("empty.csv")), "NO.;FUN;DATA;UNIT;Time;Date\r\n");
    EXPECT_EQ(events, (std::vector<std::string> {"resync"}));
}

class EachCommand : public ListFileCommandsTest, public testing::WithParamInterface<Command> { };

INSTANTIATE_TEST_SUITE_P(Commands, EachCommand, testing::Values(Command::Save, Command::Export),
    [](const testing::TestParamInfo<Command>& row) { return commandName(row.param); });

TEST_P(EachCommand, SavingOverAFileReplacesItsWholeContent)
{
    addRecord();
    writeFile(path("old.txt"), std::string(200000, 'x'));
    dialog.answers = {path("old.txt")};
    run(GetParam());
    EXPECT_EQ(readFile(path("old.txt")),
        GetParam() == Command::Save ? kOneRecordReport : kOneRecordExport);
}

TEST_P(EachCommand, ACancelledDialogLeavesTheEarlierFileAloneAndResynchronises)
{
    addRecord();
    dialog.answers = {path("first.txt"), ""};
    run(GetParam());
    const std::string first = readFile(path("first.txt"));
    addRecord();
    events.clear();

    run(GetParam());

    EXPECT_EQ(dialog.requests.at(1).fileName, path("first.txt"));
    EXPECT_EQ(readFile(path("first.txt")), first);
    EXPECT_EQ(folderEntries(), (std::vector<fs::path> {"first.txt"}));
    EXPECT_EQ(events, (std::vector<std::string> {"resync"}));
}

TEST_P(EachCommand, ReadingsArrivingWhileTheDialogIsOpenAreInTheFile)
{
    addRecord();
    dialog.whileOpen = [this] {
        addRecord();
        addRecord();
    };
    dialog.answers = {path("late.txt")};
    run(GetParam());
    const std::string content = readFile(path("late.txt"));
    const std::string lastLine = GetParam() == Command::Save
        ? " 3            FUN_VAC       229.8         v             2024-05-01\\14:03:07\r\n"
        : " 3;FUN_VAC;229.8;v;14:03:07;2024-05-01\r\n";
    EXPECT_TRUE(content.ends_with(lastLine)) << content;
}

TEST_P(EachCommand, AFileThatCannotBeCreatedIsReportedByNameAndReasonThenResynchronises)
{
    addRecord();
    const std::string missing = path("no-such-folder/report.txt");
    dialog.answers = {missing};
    run(GetParam());
    EXPECT_EQ(events,
        (std::vector<std::string> {
            "Cannot save the file " + missing + ": No such file or directory", "resync"}));
    EXPECT_TRUE(folderEntries().empty());
}

struct FaultCase {
    Command command;
    FaultyOutputFiles::Fault fault;
};

void PrintTo(const FaultCase& row, std::ostream* out)
{
    *out << commandName(row.command) << " failing at the "
         << (row.fault == FaultyOutputFiles::Fault::Write ? "write" : "commit");
}

class FailingSave : public ListFileCommandsTest, public testing::WithParamInterface<FaultCase> { };

INSTANTIATE_TEST_SUITE_P(Faults, FailingSave,
    testing::Values(FaultCase {Command::Save, FaultyOutputFiles::Fault::Write},
        FaultCase {Command::Save, FaultyOutputFiles::Fault::Commit},
        FaultCase {Command::Export, FaultyOutputFiles::Fault::Write},
        FaultCase {Command::Export, FaultyOutputFiles::Fault::Commit}),
    [](const testing::TestParamInfo<FaultCase>& row) {
        return commandName(row.param.command)
            + (row.param.fault == FaultyOutputFiles::Fault::Write ? "Write" : "Commit");
    });

TEST_P(FailingSave, LeavesTheExistingFileIntactReportsItAndResynchronises)
{
    FaultyOutputFiles faulty(GetParam().fault);
    ListFileCommands failing(
        *vars, dialog, faulty, clock, [this] { events.push_back("resync"); },
        [this](std::string_view message) { events.emplace_back(message); });
    addRecord();
    writeFile(path("kept.txt"), "the earlier content\r\n");
    dialog.answers = {path("kept.txt")};

    if (GetParam().command == Command::Save)
        failing.Form1SaveSub();
    else
        failing.Form1ExcelSub();

    EXPECT_EQ(readFile(path("kept.txt")), "the earlier content\r\n");
    EXPECT_EQ(folderEntries(), (std::vector<fs::path> {"kept.txt"}))
        << "a new file was left behind";
    EXPECT_EQ(events,
        (std::vector<std::string> {
            "Cannot save the file " + path("kept.txt") + ": No space left on device", "resync"}));
    EXPECT_EQ(offeredName(failing, GetParam().command), path("kept.txt"))
        << "a failed save still names the file";
    EXPECT_EQ(failing.unsavedReadings(), 1) << "a failed save counts as saved";
}

// Places where the chosen file cannot be saved, made real in the test's folder.
enum class BadTarget { FullDisk, ReadOnlyFolder, FolderName, NameTooLong, PathTooLong };

std::string targetName(BadTarget target)
{
    switch (target) {
    case BadTarget::FullDisk:
        return "FullDisk";
    case BadTarget::ReadOnlyFolder:
        return "ReadOnlyFolder";
    case BadTarget::FolderName:
        return "FolderName";
    case BadTarget::NameTooLong:
        return "NameTooLong";
    case BadTarget::PathTooLong:
        return "PathTooLong";
    }
    return {};
}

void PrintTo(BadTarget target, std::ostream* out)
{
    *out << targetName(target);
}

class SaveToABadTarget : public ListFileCommandsTest,
                         public testing::WithParamInterface<std::tuple<Command, BadTarget>> {
protected:
    static constexpr const char* kEarlier = "the earlier content\r\n";

    void SetUp() override
    {
        // More than the small disk holds, in either file.
        for (int i = 0; i < 2000; ++i)
            addRecord();
        fs::create_directory(path("place"));
        writeFile(path("place/kept.txt"), kEarlier);
        switch (target()) {
        case BadTarget::FullDisk:
            m_mount.emplace(test::PrivateMount::tmpfs(path("place"), "64k"));
            // The new disk hides what the folder held.
            writeFile(path("place/kept.txt"), kEarlier);
            m_chosen = path("place/kept.txt");
            m_reason = "No space left on device";
            break;
        case BadTarget::ReadOnlyFolder:
            m_mount.emplace(test::PrivateMount::readOnly(path("place")));
            m_chosen = path("place/kept.txt");
            m_reason = "Read-only file system";
            break;
        case BadTarget::FolderName:
            m_chosen = path("place");
            m_reason = "Is a directory";
            break;
        case BadTarget::NameTooLong:
            // One byte more than a name may have.
            m_chosen = path("place/") + std::string(NAME_MAX - 3, 'n') + ".txt";
            m_reason = "File name too long";
            break;
        case BadTarget::PathTooLong:
            m_chosen = path("place");
            while (m_chosen.size() <= PATH_MAX)
                m_chosen += "/" + std::string(200, 'd');
            m_chosen += "/kept.txt";
            m_reason = "File name too long";
            break;
        }
        if (m_mount && !m_mount->unavailable().empty())
            GTEST_SKIP() << m_mount->unavailable();
    }

    Command command() const { return std::get<0>(GetParam()); }
    BadTarget target() const { return std::get<1>(GetParam()); }

    std::vector<std::string> placeEntries() const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(path("place")))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::optional<test::PrivateMount> m_mount;
    std::string m_chosen;
    std::string m_reason;
};

INSTANTIATE_TEST_SUITE_P(Targets, SaveToABadTarget,
    testing::Combine(testing::Values(Command::Save, Command::Export),
        testing::Values(BadTarget::FullDisk, BadTarget::ReadOnlyFolder, BadTarget::FolderName,
            BadTarget::NameTooLong, BadTarget::PathTooLong)),
    [](const testing::TestParamInfo<std::tuple<Command, BadTarget>>& row) {
        return commandName(std::get<0>(row.param)) + targetName(std::get<1>(row.param));
    });

TEST_P(SaveToABadTarget, IsReportedWithTheReasonLeavesEverythingAsItWasAndResynchronises)
{
    dialog.answers = {m_chosen, path("good.txt")};
    run(command());

    EXPECT_EQ(events,
        (std::vector<std::string> {
            "Cannot save the file " + m_chosen + ": " + m_reason, "resync"}));
    EXPECT_EQ(readFile(path("place/kept.txt")), kEarlier);
    EXPECT_EQ(placeEntries(), std::vector<std::string> {"kept.txt"})
        << "the failed save left a file behind";
    EXPECT_EQ(offeredName(commands, command()), m_chosen);

    // The program goes on: the next save offers the failed name and works elsewhere.
    events.clear();
    run(command());
    EXPECT_EQ(dialog.requests.at(1).fileName, m_chosen);
    EXPECT_EQ(events, (std::vector<std::string> {"resync"}));
    EXPECT_GT(fs::file_size(path("good.txt")), 64U * 1024U);
}

TEST_F(ListFileCommandsTest, EachCommandOffersItsOwnLastNameAlsoAfterACancel)
{
    addRecord();
    dialog.answers = {path("a.txt"), "", "", path("b.csv"), "", ""};
    commands.Form1SaveSub(); // chooses a.txt
    commands.Form1ExcelSub(); // cancelled
    commands.Form1SaveSub(); // cancelled
    commands.Form1ExcelSub(); // chooses b.csv
    commands.Form1SaveSub(); // cancelled
    commands.Form1ExcelSub(); // cancelled

    std::vector<std::string> offered;
    std::vector<std::string> filters;
    for (const ScriptedDialog::Request& request : dialog.requests) {
        offered.push_back(request.fileName);
        filters.push_back(request.filter);
    }
    // Save, Clear, To Excel and Enter must never replace the report with an export.
    EXPECT_EQ(offered,
        (std::vector<std::string> {"", "", path("a.txt"), "", path("a.txt"), path("b.csv")}));
    EXPECT_EQ(filters[0], kReportFilter);
    EXPECT_EQ(filters[1], kExportFilter);
    EXPECT_EQ(events.size(), 6U) << "every dialog is followed by a resynchronisation";
    EXPECT_EQ(folderEntries(), (std::vector<fs::path> {"a.txt", "b.csv"}));
}

TEST_F(ListFileCommandsTest, ReadingsAreSavedOnceACompleteSaveHeldThemUntilTheListIsCleared)
{
    std::vector<std::pair<SavedFormat, std::int32_t>> told;
    commands.onSaved(
        [&](SavedFormat format, std::int32_t records) { told.emplace_back(format, records); });
    addRecord();
    addRecord();
    EXPECT_EQ(commands.unsavedReadings(), 2);
    dialog.answers = {path("a.txt"), "", path("b.csv")};
    commands.Form1SaveSub();
    EXPECT_EQ(commands.unsavedReadings(), 0);
    addRecord();
    EXPECT_EQ(commands.unsavedReadings(), 1) << "a reading after the save";
    commands.Form1ExcelSub(); // cancelled
    EXPECT_EQ(commands.unsavedReadings(), 1);
    commands.Form1ExcelSub();
    EXPECT_EQ(commands.unsavedReadings(), 0);
    EXPECT_EQ(told,
        (std::vector<std::pair<SavedFormat, std::int32_t>> {
            {SavedFormat::Report, 2}, {SavedFormat::Csv, 3}}));

    vars->DataCount = 0;
    commands.listCleared();
    addRecord();
    EXPECT_EQ(commands.unsavedReadings(), 1) << "a clear forgot what was saved";
}

} // namespace
} // namespace clampmeter
