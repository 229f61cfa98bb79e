// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "journal/journal_line.h"

#include "shared/flat_json.h"

#include <charconv>
#include <limits>

namespace clampmeter {
namespace {

constexpr std::string_view kHex = "0123456789abcdef";

void appendHead(std::string& out, std::string_view event, std::string_view utc)
{
    out.append(R"({"event":")").append(event).append(R"(","utc":)");
    appendJsonString(out, utc);
}

/// A line that tells only what happened and when.
std::string markLine(std::string_view event, std::string_view utc)
{
    std::string out;
    appendHead(out, event, utc);
    out.append("}\n");
    return out;
}

void appendText(std::string& out, std::string_view key, std::string_view text)
{
    out.append(",\"").append(key).append("\":");
    appendJsonString(out, text);
}

bool readFrame(std::string_view hex, std::array<std::uint8_t, kFrameSize>& frame)
{
    if (hex.size() != 2 * kFrameSize)
        return false;
    for (std::size_t i = 0; i < kFrameSize; ++i) {
        const char* begin = hex.data() + 2 * i;
        std::uint8_t byte = 0;
        const auto [end, error] = std::from_chars(begin, begin + 2, byte, 16);
        if (error != std::errc {} || end != begin + 2)
            return false;
        frame[i] = byte;
    }
    return true;
}

bool readReading(const FlatJsonObject& object, JournalEntry& entry)
{
    const auto fun = object.text("fun");
    const auto data = object.text("data");
    const auto unit = object.text("unit");
    const auto date = object.text("date");
    const auto time = object.text("time");
    const auto frame = object.text("frame");
    if (!fun || !data || !unit || !date || !time || !frame || !readFrame(*frame, entry.frame))
        return false;
    DataRecord& record = entry.record;
    record.FunText = *fun;
    record.DataText = *data;
    record.UnitText = *unit;
    record.DateText = *date;
    record.TimeText = *time;
    record.StampText.assign(*date).append("\\").append(*time);
    record.Value = static_cast<double>(decodeFrame(FrameBytes(entry.frame)).MainValue);
    entry.stored = object.truth("stored").value_or(true);
    return true;
}

bool readSaved(const FlatJsonObject& object, JournalEntry& entry)
{
    const auto format = object.text("format");
    const auto records = object.number("records");
    if (!format || !records || *records < 0 || *records > std::numeric_limits<std::int32_t>::max())
        return false;
    if (*format == savedFormatName(SavedFormat::Report))
        entry.format = SavedFormat::Report;
    else if (*format == savedFormatName(SavedFormat::Csv))
        entry.format = SavedFormat::Csv;
    else
        return false;
    entry.records = static_cast<std::int32_t>(*records);
    return true;
}

std::optional<JournalEvent> eventOfName(std::string_view name)
{
    constexpr std::pair<std::string_view, JournalEvent> kEvents[] = {
        {"start", JournalEvent::Start},
        {"reading", JournalEvent::Reading},
        {"clear", JournalEvent::Clear},
        {"saved", JournalEvent::Saved},
        {"end", JournalEvent::End},
    };
    for (const auto& [eventName, event] : kEvents) {
        if (eventName == name)
            return event;
    }
    return std::nullopt;
}

} // namespace

void appendReadingLine(
    std::string& out, std::string_view utc, FrameBytes frame, const DataRecord& record, bool stored)
{
    appendHead(out, "reading", utc);
    appendText(out, "fun", record.FunText);
    appendText(out, "data", record.DataText);
    appendText(out, "unit", record.UnitText);
    appendText(out, "date", record.DateText);
    appendText(out, "time", record.TimeText);
    out.append(R"(,"frame":")");
    for (const std::uint8_t byte : frame) {
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    }
    out += '"';
    if (!stored)
        out.append(R"(,"stored":false)");
    out.append("}\n");
}

std::string startLine(std::string_view utc, std::string_view program, std::int64_t pid)
{
    std::string out;
    appendHead(out, "start", utc);
    appendText(out, "program", program);
    out.append(R"(,"pid":)").append(std::to_string(pid)).append("}\n");
    return out;
}

std::string clearLine(std::string_view utc)
{
    return markLine("clear", utc);
}

std::string savedLine(std::string_view utc, SavedFormat format, std::int32_t records)
{
    std::string out;
    appendHead(out, "saved", utc);
    appendText(out, "format", savedFormatName(format));
    out.append(R"(,"records":)").append(std::to_string(records)).append("}\n");
    return out;
}

std::string endLine(std::string_view utc)
{
    return markLine("end", utc);
}

std::optional<JournalEntry> parseJournalLine(std::string_view line)
{
    const auto object = parseFlatJsonObject(line);
    if (!object)
        return std::nullopt;
    const auto eventName = object->text("event");
    const auto utc = object->text("utc");
    const auto event = eventName ? eventOfName(*eventName) : std::nullopt;
    if (!event || !utc)
        return std::nullopt;
    JournalEntry entry;
    entry.event = *event;
    entry.utc = *utc;
    switch (entry.event) {
    case JournalEvent::Reading:
        if (!readReading(*object, entry))
            return std::nullopt;
        break;
    case JournalEvent::Saved:
        if (!readSaved(*object, entry))
            return std::nullopt;
        break;
    case JournalEvent::Start:
        entry.program = object->text("program").value_or("");
        entry.pid = object->number("pid").value_or(0);
        break;
    case JournalEvent::Clear:
    case JournalEvent::End:
        break;
    }
    return entry;
}

std::string_view savedFormatName(SavedFormat format)
{
    return format == SavedFormat::Csv ? "csv" : "report";
}

} // namespace clampmeter
