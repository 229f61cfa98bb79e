// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/list_file_commands.h"

#include "list/export_writer.h"
#include "list/list_command_host.h"
#include "list/text_report_writer.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace clampmeter {

std::string saveFailureMessage(std::string_view path, std::string_view reason)
{
    std::string message = "Cannot save the file ";
    message.append(path);
    if (!reason.empty())
        message.append(": ").append(reason);
    return message;
}

std::string clearQuestion(std::int32_t unsaved)
{
    return "Clear " + std::to_string(unsaved) + (unsaved == 1 ? " reading" : " readings") + " that "
        + (unsaved == 1 ? "has" : "have") + " not been saved?";
}

ListFileCommands::ListFileCommands(const VarModule& vars, SaveDialog& dialog, OutputFiles& files,
    CaptureClock& clock, Resynchronise resynchronise, ShowFailure showFailure)
    : m_vars(vars)
    , m_dialog(dialog)
    , m_files(files)
    , m_clock(clock)
    , m_resynchronise(std::move(resynchronise))
    , m_showFailure(std::move(showFailure))
{
}

void ListFileCommands::Form1SaveSub()
{
    if (m_vars.DataCount < 1)
        return;
    saveAs(SavedFormat::Report, kReportFilter, m_reportName);
}

void ListFileCommands::Form1ExcelSub()
{
    saveAs(SavedFormat::Csv, kExportFilter, m_exportName);
}

std::int32_t ListFileCommands::unsavedReadings() const
{
    return m_vars.DataCount > m_savedRecords ? m_vars.DataCount - m_savedRecords : 0;
}

void ListFileCommands::saveAs(SavedFormat format, std::string_view filter, std::string& fileName)
{
    const std::string chosen = m_dialog.showSave({kSaveDialogTitle, filter, fileName});
    if (!chosen.empty()) {
        fileName = chosen;
        std::string failure;
        {
            const std::unique_ptr<OutputFile> file = m_files.create(chosen);
            // Nothing runs between the writing and here: the count is what was written.
            if (!writeFile(format, *file) || !file->commit())
                failure = saveFailureMessage(chosen, file->errorText());
            else
                noteSaved(format, m_vars.DataCount);
        } // an uncommitted file is discarded here, before the user is told
        if (!failure.empty())
            m_showFailure(failure);
    }
    // The port's input piled up while the dialog, the writing or the message ran.
    m_resynchronise();
}

bool ListFileCommands::writeFile(SavedFormat format, OutputFile& file)
{
    switch (format) {
    case SavedFormat::Report:
        return writeTextReport(m_vars, m_clock, file);
    case SavedFormat::Csv:
        return writeExport(m_vars, file);
    }
    return false;
}

void ListFileCommands::noteSaved(SavedFormat format, std::int32_t records)
{
    m_savedRecords = std::max(m_savedRecords, records);
    if (m_saved)
        m_saved(format, records);
}

} // namespace clampmeter
