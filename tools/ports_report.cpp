// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ports_report.h"

#include <algorithm>
#include <array>

namespace clampmeter::cli {
namespace {

constexpr std::string_view kBridgeMark = "<- the meter's bridge";

struct TableRow {
    std::array<std::string, 2> cells;
    bool bridge = false;
};

// Two columns under their headings, and the bridge's row marked after them.
std::string markedTable(const std::vector<TableRow>& rows)
{
    std::array<std::size_t, 2> widths {};
    for (const TableRow& row : rows) {
        for (std::size_t column = 0; column < widths.size(); ++column)
            widths[column] = std::max(widths[column], row.cells[column].size());
    }
    std::string table;
    for (const TableRow& row : rows) {
        const auto& [first, second] = row.cells;
        table += first + std::string(widths[0] - first.size() + 2, ' ') + second;
        if (row.bridge)
            table += std::string(widths[1] - second.size() + 2, ' ') + std::string(kBridgeMark);
        table += '\n';
    }
    return table;
}

} // namespace

std::string serialDeviceTable(const std::vector<SerialDevice>& devices,
    const std::string& bridgePort, const std::string& deviceDir)
{
    if (devices.empty())
        return "No serial devices.\n";
    std::vector<TableRow> rows {{{"DEVICE", "DRIVER"}}};
    for (const SerialDevice& device : devices) {
        const std::string path = deviceDir + "/" + device.name;
        rows.push_back({{path, device.driver}, path == bridgePort});
    }
    return markedTable(rows);
}

std::string serialDeviceMapTable(
    const std::vector<SerialMapEntry>& entries, const std::string& bridgePort)
{
    if (entries.empty())
        return "No serial ports.\n";
    std::vector<TableRow> rows {{{"PORT", "DEVICE"}}};
    for (const SerialMapEntry& entry : entries)
        rows.push_back({{entry.port, entry.device}, entry.port == bridgePort});
    return markedTable(rows);
}

std::string bridgeAccessText(const std::string& port, const PortOpenResult& opened)
{
    if (opened.ok())
        return "clampmeter would use " + port + ", and this user can open it.\n";
    return "clampmeter would use " + port + ", but this user cannot open it.\n\n"
        + portOpenFailureMessage(port, opened) + '\n';
}

} // namespace clampmeter::cli
