// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "reading_json.h"

#include "shared/flat_json.h"

#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace clampmeter::cli {
namespace {

// JSON has no NaN or infinity.
void appendFloat(std::string& line, float value)
{
    const std::string text = shortestFloatText(value);
    line += text.empty() ? "null" : text;
}

void appendKey(std::string& line, std::string_view key)
{
    line += line.empty() ? '{' : ',';
    appendJsonString(line, key);
    line += ':';
}

void appendCaption(std::string& line, std::string_view key, const FunctionEntry* function,
    std::string_view FunctionEntry::*caption)
{
    appendKey(line, key);
    if (function == nullptr)
        line += "null";
    else
        appendJsonString(line, function->*caption);
}

void appendFlags(std::string& line, const MeasurementFrame& frame)
{
    for (const auto& [key, on] : {std::pair {"wiring", frame.wiring}, std::pair {"bat", frame.bat},
             std::pair {"mr", frame.mr}}) {
        appendKey(line, key);
        line += on ? "true" : "false";
    }
}

} // namespace

std::string shortestFloatText(float value)
{
    if (!std::isfinite(value))
        return {};
    std::array<char, 32> text {};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return {text.data(), result.ptr};
}

std::string readingJson(const MeasurementFrame& frame, std::string_view time)
{
    const FunctionEntry* function = frame.function;
    std::string line;
    if (!time.empty()) {
        appendKey(line, "time");
        appendJsonString(line, time);
    }
    appendKey(line, "accepted");
    line += "true";
    appendKey(line, "fun");
    appendJsonString(line, function == nullptr ? std::string_view() : function->id);
    appendKey(line, "main");
    appendJsonString(line, frame.MainText);
    appendKey(line, "secondary");
    appendJsonString(line, frame.SecondaryText);
    appendCaption(line, "class", function, &FunctionEntry::classCaption);
    appendCaption(line, "unit", function, &FunctionEntry::unitCaption);
    appendCaption(line, "secondaryClass", function, &FunctionEntry::secondaryClassCaption);
    appendCaption(line, "secondaryUnit", function, &FunctionEntry::secondaryUnitCaption);
    appendKey(line, "dial");
    line += function == nullptr ? "null" : std::to_string(function->dialPicture);
    appendKey(line, "number");
    appendJsonString(line, frame.numberText);
    appendFlags(line, frame);
    appendKey(line, "phase");
    if (frame.phase == Phase::None)
        line += "null";
    else
        appendJsonString(line, phaseCaption(frame.phase));
    appendKey(line, "mainValue");
    appendFloat(line, frame.MainValue);
    appendKey(line, "secondaryValue");
    appendFloat(line, frame.SecondaryValue);
    line += '}';
    return line;
}

} // namespace clampmeter::cli
