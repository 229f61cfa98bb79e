// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "checked_output.h"
#include "cli_commands.h"
#include "cli_output_file.h"
#include "journal_listing.h"
#include "log/log_clock.h"
#include "log/log_line.h"
#include "option_words.h"

#include "journal/journal_file.h"
#include "list/export_writer.h"
#include "list/text_report_writer.h"
#include "platform/system_clock.h"

#include <clocale>
#include <memory>
#include <ostream>

namespace clampmeter::cli {

const std::string_view kJournalHelp
    = "clampmeter-cli journal list [--demo]\n"
      "    List the sessions the program has kept in its journal folder: when each\n"
      "    started and last wrote, its readings, whether it ended cleanly, unexpectedly\n"
      "    (a crash, a kill, a power cut) or is still running, and whether every reading\n"
      "    of its list was saved.\n"
      "\n"
      "clampmeter-cli journal export [SESSION|latest] [--format report|csv|jsonl]\n"
      "                              [--output FILE] [--all] [--demo]\n"
      "    Write a session's readings (latest: the newest session that no running\n"
      "    program holds, the default) as the text report (Save), the semicolon-separated\n"
      "    export (To Excel; the default) or JSON lines (as log --format jsonl), to\n"
      "    standard output or FILE. The readings are those the list held at the end\n"
      "    (since the last Clear list); --all takes the whole session.\n"
      "    The folder: $XDG_STATE_HOME/clampmeter/sessions, else\n"
      "    ~/.local/state/clampmeter/sessions (on Windows %LOCALAPPDATA%\\clampmeter\\sessions).\n"
      "    --demo: the sessions of clampmeter-demo instead, which it keeps apart in the\n"
      "    folder demo-sessions beside that one.\n"
      "    Exit codes: 0 done, 1 no such session or it cannot be read or written, 2 bad\n"
      "    options.\n";

namespace {

constexpr std::string_view kCommand = "clampmeter-cli journal";

enum class ExportFormat { Report, Csv, Jsonl };

struct ExportOptions {
    std::string_view folderName = kSessionsFolder;
    std::string session = "latest";
    ExportFormat format = ExportFormat::Csv;
    std::string output;
    JournalRange range = JournalRange::SinceLastClear;
};

std::optional<ExportFormat> formatOfName(std::string_view name)
{
    if (name == "report")
        return ExportFormat::Report;
    if (name == "csv")
        return ExportFormat::Csv;
    if (name == "jsonl")
        return ExportFormat::Jsonl;
    return std::nullopt;
}

/// The options of export; nothing after saying what is wrong.
std::optional<ExportOptions> parseExport(std::span<const std::string_view> args, std::ostream& err)
{
    ExportOptions options;
    bool named = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const OptionWord word = splitOptionWord(args[i]);
        const auto value = [&]() -> std::optional<std::string_view> {
            if (word.value)
                return word.value;
            if (i + 1 < args.size())
                return args[++i];
            return std::nullopt;
        };
        if (word.name == "--all" && !word.value) {
            options.range = JournalRange::All;
        } else if (word.name == "--demo" && !word.value) {
            options.folderName = kDemoSessionsFolder;
        } else if (word.name == "--format") {
            const auto name = value();
            const auto format = name ? formatOfName(*name) : std::nullopt;
            if (!format) {
                err << kCommand << ": --format takes report, csv or jsonl\n";
                return std::nullopt;
            }
            options.format = *format;
        } else if (word.name == "--output") {
            const auto path = value();
            if (!path || path->empty()) {
                err << kCommand << ": --output needs a file name\n";
                return std::nullopt;
            }
            options.output = *path;
        } else if (!word.name.starts_with("-") && !named) {
            options.session = word.name;
            named = true;
        } else {
            err << kCommand << ": unknown option '" << args[i]
                << "' (try clampmeter-cli journal --help)\n";
            return std::nullopt;
        }
    }
    return options;
}

std::optional<std::filesystem::path> folderOrSay(std::string_view name, std::ostream& err)
{
    auto folder = defaultJournalFolder(name);
    if (!folder)
        err << kCommand << ": no journal folder: neither XDG_STATE_HOME nor HOME is set\n";
    return folder;
}

/// Where a user who finds no session of the meter's should look next: the demo's sessions
/// are kept apart, and a first try of the program is often the demo.
std::string demoSessionsHint(std::string_view folderName)
{
    if (folderName == kDemoSessionsFolder)
        return {};
    const auto demo = defaultJournalFolder(kDemoSessionsFolder);
    if (!demo || listSessionFiles(*demo).empty())
        return {};
    return "The demo keeps its sessions apart, in " + demo->string()
        + ": see clampmeter-cli journal list --demo\n";
}

int runList(std::string_view folderName, std::ostream& out, std::ostream& err)
{
    const auto folder = folderOrSay(folderName, err);
    if (!folder)
        return 1;
    std::vector<SessionSummary> rows;
    for (const SessionFile& file : listSessionFiles(*folder)) {
        std::string reason;
        const auto session = readJournalFile(file.path, reason);
        if (!session) {
            err << kCommand << ": cannot read " << file.path.string() << ": " << reason << '\n';
            continue;
        }
        rows.push_back(summariseSession(file.id, *session, journalFileInUse(file.path)));
    }
    if (rows.empty()) {
        return writeText(kCommand,
            "No sessions in " + folder->string() + "\n" + demoSessionsHint(folderName), out, err);
    }
    return writeText(kCommand, sessionTable(rows), out, err);
}

bool writeJsonLines(std::span<const JournalReading> readings, OutputFile& file)
{
    for (const JournalReading& reading : readings) {
        const auto time = parseUtcTimestamp(reading.utc);
        const std::string stamp = time ? isoTimestamp(logInstantAt(*time)) : reading.utc;
        // Bytes outside ASCII in a line are UTF-8 already: JSON is UTF-8 whatever the locale.
        const std::string line
            = logLine(LogFormat::Jsonl, decodeFrame(FrameBytes(reading.frame)), stamp);
        if (!file.write(line))
            return false;
    }
    return true;
}

bool writeSession(const JournalSession& session, const ExportOptions& options, OutputFile& file)
{
    if (options.format == ExportFormat::Jsonl) {
        const std::size_t first = options.range == JournalRange::All ? 0 : session.listStart;
        return writeJsonLines(std::span(session.readings).subspan(first), file);
    }
    const std::vector<DataRecord> records = journalRecords(session, options.range);
    if (options.format == ExportFormat::Csv)
        return writeExport(records, file);
    SystemClock clock;
    return writeTextReport(records, clock, file);
}

int runExport(const ExportOptions& options, std::ostream& out, std::ostream& err)
{
    const auto folder = folderOrSay(options.folderName, err);
    if (!folder)
        return 1;
    const auto chosen = chooseSession(listSessionFiles(*folder), options.session);
    if (!chosen) {
        err << kCommand << ": no session '" << options.session << "' in " << folder->string()
            << " (see clampmeter-cli journal list"
            << (options.folderName == kDemoSessionsFolder ? " --demo" : "") << ")\n"
            << demoSessionsHint(options.folderName);
        return 1;
    }
    std::string reason;
    const auto session = readJournalFile(chosen->path, reason);
    if (!session) {
        err << kCommand << ": cannot read " << chosen->path.string() << ": " << reason << '\n';
        return 1;
    }
    std::unique_ptr<CliOutputFile> file;
    if (options.output.empty())
        file = std::make_unique<StreamOutputFile>(out);
    else
        file = std::make_unique<ReplacingOutputFile>(options.output);
    if (!writeSession(*session, options, *file) || !file->commit()) {
        err << kCommand << ": cannot write "
            << (options.output.empty() ? std::string("the output") : "'" + options.output + "'")
            << ": " << file->errorText() << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int runJournal(std::span<const std::string_view> args, std::ostream& out, std::ostream& err)
{
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        if (args.size() > 1 || args.empty()) {
            err << kJournalHelp;
            return 2;
        }
        return writeText(kCommand, kJournalHelp, out, err);
    }
    // The files are written in the user's character set, the report's date in their format.
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_TIME, "");
    if (args[0] == "list") {
        const bool demo = args.size() == 2 && args[1] == "--demo";
        if (args.size() > 1 && !demo) {
            err << kCommand << ": list takes only --demo (try clampmeter-cli journal --help)\n";
            return 2;
        }
        return runList(demo ? kDemoSessionsFolder : kSessionsFolder, out, err);
    }
    if (args[0] == "export") {
        const auto options = parseExport(args.subspan(1), err);
        return options ? runExport(*options, out, err) : 2;
    }
    err << kCommand << ": unknown command '" << args[0]
        << "' (try clampmeter-cli journal --help)\n";
    return 2;
}

} // namespace clampmeter::cli
