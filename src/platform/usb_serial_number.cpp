// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/usb_serial_number.h"

#include <fstream>

namespace clampmeter {
namespace {

namespace fs = std::filesystem;

// From the tty up through the interface to the USB device: a few levels, never the root.
constexpr int kLevelsUp = 6;

} // namespace

std::optional<std::string> usbSerialNumber(const fs::path& ttyClassDir, std::string_view ttyName)
{
    std::error_code error;
    fs::path folder = fs::canonical(ttyClassDir / fs::path(ttyName) / "device", error);
    if (error)
        return std::nullopt;
    for (int level = 0; level < kLevelsUp && folder.has_relative_path(); ++level) {
        if (fs::exists(folder / "serial", error) && fs::exists(folder / "idVendor", error)) {
            std::ifstream in(folder / "serial");
            std::string serial;
            std::getline(in, serial);
            while (!serial.empty() && (serial.back() == ' ' || serial.back() == '\r'))
                serial.pop_back();
            if (serial.empty())
                return std::nullopt;
            return serial;
        }
        folder = folder.parent_path();
    }
    return std::nullopt;
}

} // namespace clampmeter
