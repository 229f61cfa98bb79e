// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/log_line.h"

#include "log/csv_record.h"
#include "log/panel_texts.h"
#include "reading_json.h"

namespace clampmeter::cli {
namespace {

std::string_view yesNo(bool on)
{
    return on ? "true" : "false";
}

std::string csvLine(const MeasurementFrame& reading, std::string_view time)
{
    const PanelTexts texts = panelTexts(reading);
    const std::string mainValue = shortestFloatText(reading.MainValue);
    const std::string secondaryValue = shortestFloatText(reading.SecondaryValue);
    return csvRecord({time, texts.function, texts.main, texts.unit, texts.secondary,
               texts.secondaryUnit, mainValue, secondaryValue, yesNo(texts.bat), yesNo(texts.mr),
               texts.phase, yesNo(texts.wiring), texts.number})
        + '\n';
}

} // namespace

std::string_view logHeader(LogFormat format)
{
    return format == LogFormat::Csv ? kCsvHeader : std::string_view();
}

std::string logLine(LogFormat format, const MeasurementFrame& reading, std::string_view time)
{
    if (format == LogFormat::Csv)
        return csvLine(reading, time);
    return readingJson(reading, time) + '\n';
}

} // namespace clampmeter::cli
