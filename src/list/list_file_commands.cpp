// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/list_file_commands.h"

#include "list/export_writer.h"
#include "list/text_report_writer.h"

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
    saveAs(FileKind::Report, kReportFilter);
}

void ListFileCommands::Form1ExcelSub()
{
    saveAs(FileKind::Export, kExportFilter);
}

void ListFileCommands::saveAs(FileKind kind, std::string_view filter)
{
    const std::string chosen = m_dialog.showSave({kSaveDialogTitle, filter, m_fileName});
    if (!chosen.empty()) {
        m_fileName = chosen;
        std::string failure;
        {
            const std::unique_ptr<OutputFile> file = m_files.create(chosen);
            if (!writeFile(kind, *file) || !file->commit())
                failure = saveFailureMessage(chosen, file->errorText());
        } // an uncommitted file is discarded here, before the user is told
        if (!failure.empty())
            m_showFailure(failure);
    }
    // The port's input piled up while the dialog, the writing or the message ran.
    m_resynchronise();
}

bool ListFileCommands::writeFile(FileKind kind, OutputFile& file)
{
    switch (kind) {
    case FileKind::Report:
        return writeTextReport(m_vars, m_clock, file);
    case FileKind::Export:
        return writeExport(m_vars, file);
    }
    return false;
}

} // namespace clampmeter
