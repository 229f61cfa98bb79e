// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// clampmeter-cli journal: the sessions listed as they ended, and a session's readings written
// by the program's own report and export writers, numbered as its list numbered them.

#include "cli_commands.h"
#include "list/export_writer.h"

#include "../journal/journal_fixture.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace clampmeter::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

struct CommandRun {
    int code = -1;
    std::string out;
    std::string err;
};

class CliJournal : public JournalFixture {
protected:
    void SetUp() override
    {
        const char* old = std::getenv("XDG_STATE_HOME");
        m_oldStateHome = old == nullptr ? std::nullopt : std::optional<std::string>(old);
        ::setenv("XDG_STATE_HOME", (m_temp.path() / "state").c_str(), 1);
        fs::create_directories(folder());
    }
    void TearDown() override
    {
        if (m_oldStateHome)
            ::setenv("XDG_STATE_HOME", m_oldStateHome->c_str(), 1);
        else
            ::unsetenv("XDG_STATE_HOME");
    }

    static CommandRun run(std::vector<std::string_view> args)
    {
        std::ostringstream out;
        std::ostringstream err;
        CommandRun result;
        result.code = cli::runJournal(args, out, err);
        result.out = out.str();
        result.err = err.str();
        return result;
    }

    /// A session that ended as `script` says: numbers are readings, "c" a clear, "s" a save
    /// of the list as it stands, "e" the clean end.
    void session(
        const std::string& id, std::initializer_list<std::string> script, const fs::path& in = {})
    {
        SessionJournal journal = makeJournal(id, in);
        ASSERT_TRUE(journal.start());
        std::int32_t listed = 0;
        for (const std::string& step : script) {
            if (step == "c") {
                journal.listCleared();
                listed = 0;
            } else if (step == "s") {
                journal.listSaved(SavedFormat::Report, listed);
            } else if (step != "e") {
                capture(journal, std::stoi(step));
                ++listed;
            }
        }
        if (std::find(script.begin(), script.end(), "e") != script.end())
            journal.close();
    }

    std::optional<std::string> m_oldStateHome;
};

/// What the export writer makes of readings n = first … last numbered from 1.
std::string exportOf(int first, int last)
{
    class StringFile final : public OutputFile {
    public:
        bool write(std::string_view bytes) override
        {
            text.append(bytes);
            return true;
        }
        bool commit() override { return true; }
        std::string errorText() const override { return {}; }
        std::string text;
    } file;
    std::vector<DataRecord> records;
    for (int n = first; n <= last; ++n) {
        records.push_back(numberedReading(n).record);
        records.back().No = n - first + 1;
    }
    writeExport(records, file);
    return file.text;
}

TEST_F(CliJournal, ListTellsHowEachSessionEndedAndWhetherItsListWasSaved)
{
    session("20261210T100000Z-1", {"1", "2", "s", "e"});
    session("20261210T110000Z-2", {"1", "2", "3"});
    SessionJournal running = makeJournal("20261210T120000Z-3");
    ASSERT_TRUE(running.start());
    capture(running, 1);

    const CommandRun list = run({"list"});
    ASSERT_EQ(list.code, 0) << list.err;
    std::istringstream rows(list.out);
    std::string heading, clean, crashed, live;
    std::getline(rows, heading);
    std::getline(rows, clean);
    std::getline(rows, crashed);
    std::getline(rows, live);
    EXPECT_THAT(heading, HasSubstr("SESSION"));
    EXPECT_THAT(clean, HasSubstr("20261210T100000Z-1"));
    EXPECT_THAT(clean, HasSubstr("cleanly"));
    EXPECT_THAT(clean, ::testing::EndsWith("yes"));
    EXPECT_THAT(crashed, HasSubstr("unexpectedly"));
    EXPECT_THAT(crashed, HasSubstr("no, 3 unsaved"));
    EXPECT_THAT(live, HasSubstr("running"));
}

TEST_F(CliJournal, ExportWritesWhatToExcelWritesForTheListSinceItsLastClear)
{
    session("20261210T100000Z-1", {"1", "2", "c", "3", "4", "5"});
    const CommandRun csv = run({"export", "latest", "--format", "csv"});
    ASSERT_EQ(csv.code, 0) << csv.err;
    EXPECT_EQ(csv.out, exportOf(3, 5));

    const CommandRun all = run({"export", "20261210T100000Z-1", "--all"});
    ASSERT_EQ(all.code, 0) << all.err;
    EXPECT_EQ(all.out, exportOf(1, 5)) << "csv is the default, --all the whole session";

    const CommandRun report = run({"export", "--format=report"});
    ASSERT_EQ(report.code, 0) << report.err;
    EXPECT_THAT(report.out, ::testing::StartsWith("KR-709W Data Report"));
    EXPECT_THAT(report.out, HasSubstr("\r\n\r\n 1            FUN_VAC       3.0"));
}

TEST_F(CliJournal, LatestIsTheNewestSessionNoRunningProgramHolds)
{
    session("20261210T100000Z-1", {"1", "2"});
    SessionJournal running = makeJournal("20261210T120000Z-3");
    ASSERT_TRUE(running.start());
    capture(running, 7);
    const CommandRun latest = run({"export"});
    ASSERT_EQ(latest.code, 0) << latest.err;
    EXPECT_EQ(latest.out, exportOf(1, 2));
}

TEST_F(CliJournal, ExportToAFileAndAsJsonLines)
{
    session("20261210T100000Z-1", {"1", "2"});
    const fs::path file = m_temp.path() / "readings.csv";
    ASSERT_EQ(run({"export", "--output", file.string()}).code, 0);
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), exportOf(1, 2));

    const CommandRun jsonl = run({"export", "--format", "jsonl"});
    ASSERT_EQ(jsonl.code, 0) << jsonl.err;
    std::istringstream lines(jsonl.out);
    std::string first;
    std::getline(lines, first);
    EXPECT_THAT(first, ::testing::StartsWith(R"({"time":"2026-12-10T)"));
    EXPECT_THAT(first, HasSubstr(R"("accepted":true,"fun":"FUN_VAC","main":"1")"));
}

TEST_F(CliJournal, MistakesAreToldWithTheirExitCodes)
{
    session("20261210T100000Z-1", {"1"});
    struct Case {
        std::vector<std::string_view> args;
        int code;
        const char* words;
    };
    const Case cases[] = {
        {{"export", "20991231T000000Z-9"}, 1, "no session '20991231T000000Z-9'"},
        {{"export", "--format", "pdf"}, 2, "--format takes report, csv or jsonl"},
        {{"export", "--output"}, 2, "--output needs a file name"},
        {{"export", "a", "b"}, 2, "unknown option 'b'"},
        {{"list", "--all"}, 2, "list takes only --demo"},
        {{"list", "--demo", "--demo"}, 2, "list takes only --demo"},
        {{"export", "--demo=yes"}, 2, "unknown option '--demo=yes'"},
        {{"remove"}, 2, "unknown command 'remove'"},
        {{"export", "--output", "/nonexistent/folder/x.csv"}, 1, "cannot write"},
    };
    for (const Case& c : cases) {
        const CommandRun result = run(c.args);
        EXPECT_EQ(result.code, c.code) << c.words;
        EXPECT_THAT(result.err, HasSubstr(c.words));
    }
}

TEST_F(CliJournal, ATextHoldingALineEndDoesNotBreakItsExportRow)
{
    // The program never writes one; a damaged or edited journal may hold an escaped one.
    SessionJournal journal = makeJournal("20261210T100000Z-1");
    ASSERT_TRUE(journal.start());
    NumberedReading odd = numberedReading(1);
    odd.record.DataText = "1.0\r\n2;\t3";
    journal.readingCaptured(FrameBytes(odd.frame), odd.record, true);
    capture(journal, 2);
    journal.close();

    const CommandRun exported = run({"export"});
    ASSERT_EQ(exported.code, 0) << exported.err;
    std::istringstream rows(exported.out);
    std::vector<std::string> lines;
    for (std::string line; std::getline(rows, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 3U) << exported.out;
    EXPECT_NE(lines[1].find(";1.0  2; 3;"), std::string::npos) << lines[1];
}

TEST_F(CliJournal, TheDemosSessionsAreListedAndExportedWithDemoAndNamedWhenTheMetersAreNone)
{
    session("20261210T100000Z-7", {"1", "2", "3", "e"}, demoFolder());

    const CommandRun none = run({"list"});
    EXPECT_EQ(none.code, 0) << none.err;
    EXPECT_THAT(none.out, HasSubstr("No sessions in " + folder().string()));
    EXPECT_THAT(none.out,
        HasSubstr("The demo keeps its sessions apart, in " + demoFolder().string()
            + ": see clampmeter-cli journal list --demo"));
    const CommandRun noLatest = run({"export"});
    EXPECT_EQ(noLatest.code, 1);
    EXPECT_THAT(noLatest.err, HasSubstr("journal list --demo"));

    const CommandRun demo = run({"list", "--demo"});
    ASSERT_EQ(demo.code, 0) << demo.err;
    EXPECT_THAT(demo.out, HasSubstr("20261210T100000Z-7"));
    EXPECT_THAT(demo.out, ::testing::Not(HasSubstr("No sessions")));
    const CommandRun exported = run({"export", "--demo"});
    ASSERT_EQ(exported.code, 0) << exported.err;
    EXPECT_EQ(exported.out, exportOf(1, 3));

    // Once the meter has sessions of its own, the demo's are not mentioned.
    session("20261210T110000Z-8", {"1", "e"});
    EXPECT_THAT(run({"list"}).out, ::testing::Not(HasSubstr("demo")));
}

TEST_F(CliJournal, WithoutAnyDemoSessionsNoneIsTheWholeAnswer)
{
    const CommandRun none = run({"list"});
    EXPECT_EQ(none.code, 0) << none.err;
    EXPECT_EQ(none.out, "No sessions in " + folder().string() + "\n");
    const CommandRun demo = run({"list", "--demo"});
    EXPECT_EQ(demo.out, "No sessions in " + demoFolder().string() + "\n");
}

} // namespace
} // namespace clampmeter::test
