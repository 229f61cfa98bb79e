// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/serial_device_list.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace clampmeter {

std::optional<std::vector<SerialDevice>> listSerialDevices(const std::filesystem::path& ttyClassDir)
{
    std::vector<SerialDevice> devices;
    std::error_code error;
    std::filesystem::directory_iterator it(ttyClassDir, error);
    if (error)
        return std::nullopt;
    for (const std::filesystem::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            return std::nullopt;
        std::error_code noDriver;
        const auto driver
            = std::filesystem::read_symlink(it->path() / "device" / "driver", noDriver);
        if (!noDriver)
            devices.push_back({it->path().filename().string(), driver.filename().string()});
    }
    std::sort(devices.begin(), devices.end(),
        [](const SerialDevice& a, const SerialDevice& b) { return naturalLess(a.name, b.name); });
    return devices;
}

namespace {

bool isDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

} // namespace

bool naturalLess(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::size_t startA = i;
            const std::size_t startB = j;
            while (i < a.size() && isDigit(a[i]))
                ++i;
            while (j < b.size() && isDigit(b[j]))
                ++j;
            std::string_view runA = a.substr(startA, i - startA);
            std::string_view runB = b.substr(startB, j - startB);
            const auto trimmedA = runA.substr(std::min(runA.find_first_not_of('0'), runA.size()));
            const auto trimmedB = runB.substr(std::min(runB.find_first_not_of('0'), runB.size()));
            if (trimmedA.size() != trimmedB.size())
                return trimmedA.size() < trimmedB.size();
            if (trimmedA != trimmedB)
                return trimmedA < trimmedB;
            if (runA.size() != runB.size())
                return runA.size() < runB.size();
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

} // namespace clampmeter
