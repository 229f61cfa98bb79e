// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "journal/journal_line.h"
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
/// Each remembers the full file name last chosen in it and offers it again, also after a
/// cancelled dialog; the dialogs add their format's suffix to a bare name and ask before
/// replacing a file. A new file replaces an existing one only once it is complete. The
/// dialog runs a nested event loop in which readings keep arriving, so the records are
/// counted only when writing starts, and those that came later are not saved.
class ListFileCommands {
public:
    /// The link's resynchronisation entry (receive threshold 0, then Timer1 on).
    using Resynchronise = std::function<void()>;
    /// Shows a failure to the user (modal; the link is resynchronised afterwards).
    using ShowFailure = std::function<void(std::string_view message)>;
    /// Told of every complete save: its format and the records it holds.
    using Saved = std::function<void(SavedFormat format, std::int32_t records)>;

    ListFileCommands(const VarModule& vars, SaveDialog& dialog, OutputFiles& files,
        CaptureClock& clock, Resynchronise resynchronise, ShowFailure showFailure);

    /// Who is told of each complete save (the session journal); none by default.
    void onSaved(Saved saved) { m_saved = std::move(saved); }

    /// "Save": with no records returns at once (no dialog, no resynchronisation);
    /// otherwise asks for a name and writes the text report.
    void Form1SaveSub();
    /// "To Excel": asks for a name and writes the export, the header alone when there are
    /// no records.
    void Form1ExcelSub();

    /// The full file names the next Save and To Excel dialogs offer; empty until chosen.
    const std::string& reportFileName() const { return m_reportName; }
    const std::string& exportFileName() const { return m_exportName; }

    /// Stored records that no complete save has held since the last clear.
    std::int32_t unsavedReadings() const;
    /// The list was cleared: nothing in it is saved.
    void listCleared() { m_savedRecords = 0; }

private:
    void saveAs(SavedFormat format, std::string_view filter, std::string& fileName);
    bool writeFile(SavedFormat format, OutputFile& file);
    void noteSaved(SavedFormat format, std::int32_t records);

    const VarModule& m_vars;
    SaveDialog& m_dialog;
    OutputFiles& m_files;
    CaptureClock& m_clock;
    Resynchronise m_resynchronise;
    ShowFailure m_showFailure;
    Saved m_saved;
    std::string m_reportName;
    std::string m_exportName;
    std::int32_t m_savedRecords = 0; ///< of the list since the last clear, the most saved
};

} // namespace clampmeter
