// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/csv_record.h"

namespace clampmeter::cli {

std::string csvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string csvRecord(std::initializer_list<std::string_view> fields)
{
    std::string record;
    bool first = true;
    for (const std::string_view field : fields) {
        if (!first)
            record += ',';
        first = false;
        record += csvField(field);
    }
    return record;
}

} // namespace clampmeter::cli
