// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "reading_json.h"

#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace clampmeter::cli {
namespace {

void appendString(std::string& line, std::string_view text)
{
    static constexpr std::string_view kHex = "0123456789abcdef";
    line += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            line += '\\';
            line += c;
        } else if (byte < 0x20) {
            line += "\\u00";
            line += kHex[byte >> 4];
            line += kHex[byte & 0xF];
        } else {
            line += c;
        }
    }
    line += '"';
}

// JSON has no NaN or infinity.
void appendFloat(std::string& line, float value)
{
    const std::string text = shortestFloatText(value);
    line += text.empty() ? "null" : text;
}

void appendKey(std::string& line, std::string_view key)
{
    line += line.empty() ? '{' : ',';
    appendString(line, key);
    line += ':';
}

void appendCaption(std::string& line, std::string_view key, const FunctionEntry* function,
    std::string_view FunctionEntry::*caption)
{
    appendKey(line, key);
    if (function == nullptr)
        line += "null";
    else
        appendString(line, function->*caption);
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
        appendString(line, time);
    }
    appendKey(line, "accepted");
    line += "true";
    appendKey(line, "fun");
    appendString(line, function == nullptr ? std::string_view() : function->id);
    appendKey(line, "main");
    appendString(line, frame.MainText);
    appendKey(line, "secondary");
    appendString(line, frame.SecondaryText);
    appendCaption(line, "class", function, &FunctionEntry::classCaption);
    appendCaption(line, "unit", function, &FunctionEntry::unitCaption);
    appendCaption(line, "secondaryClass", function, &FunctionEntry::secondaryClassCaption);
    appendCaption(line, "secondaryUnit", function, &FunctionEntry::secondaryUnitCaption);
    appendKey(line, "dial");
    line += function == nullptr ? "null" : std::to_string(function->dialPicture);
    appendKey(line, "number");
    appendString(line, frame.numberText);
    appendFlags(line, frame);
    appendKey(line, "phase");
    if (frame.phase == Phase::None)
        line += "null";
    else
        appendString(line, phaseCaption(frame.phase));
    appendKey(line, "mainValue");
    appendFloat(line, frame.MainValue);
    appendKey(line, "secondaryValue");
    appendFloat(line, frame.SecondaryValue);
    line += '}';
    return line;
}

} // namespace clampmeter::cli
