// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "link/capture_clock.h"
#include "list/output_file.h"
#include "list/save_dialog.h"
#include "shared/var_module.h"

#include <functional>
#include <string>
#include <string_view>

namespace clampmeter {

inline constexpr std::string_view kSaveDialogTitle = "Save";
inline constexpr std::string_view kReportFilter = "text files (*.txt)|*.txt";
inline constexpr std::string_view kExportFilter = "csv files (*.csv)|*.csv";

/// The message shown when a file cannot be saved, e.g. "Cannot save the file /x/y.txt:
/// No space left on device". `reason` is the system's; without one the message ends after
/// the name.
std::string saveFailureMessage(std::string_view path, std::string_view reason);

/// The list window's two file commands, "Save" (text report) and "To Excel" (export).
///
/// Both share one save dialog memory: the full file name last chosen in either command is
/// offered again, and a cancelled dialog keeps it. A new file replaces an existing one only
/// once it is complete. The dialog runs a nested event loop in which readings keep
/// arriving, so the records are counted only when writing starts.
class ListFileCommands {
public:
    /// The link's resynchronisation entry (receive threshold 0, then Timer1 on).
    using Resynchronise = std::function<void()>;
    /// Shows a failure to the user (modal; the link is resynchronised afterwards).
    using ShowFailure = std::function<void(std::string_view message)>;

    ListFileCommands(const VarModule& vars, SaveDialog& dialog, OutputFiles& files,
        CaptureClock& clock, Resynchronise resynchronise, ShowFailure showFailure);

    /// "Save": with no records returns at once (no dialog, no resynchronisation);
    /// otherwise asks for a name and writes the text report.
    void Form1SaveSub();
    /// "To Excel": asks for a name and writes the export, the header alone when there are
    /// no records.
    void Form1ExcelSub();

    /// The full file name the next dialog offers; empty until a name has been chosen.
    const std::string& fileName() const { return m_fileName; }

private:
    enum class FileKind { Report, Export };

    void saveAs(FileKind kind, std::string_view filter);
    bool writeFile(FileKind kind, OutputFile& file);

    const VarModule& m_vars;
    SaveDialog& m_dialog;
    OutputFiles& m_files;
    CaptureClock& m_clock;
    Resynchronise m_resynchronise;
    ShowFailure m_showFailure;
    std::string m_fileName;
};

} // namespace clampmeter
