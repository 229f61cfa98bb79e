// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "soak_measures.h"

#include <filesystem>
#include <fstream>

#include <sys/resource.h>

namespace clampmeter::soak {

std::chrono::microseconds processCpuTime()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    auto micros = [](const timeval& t) {
        return std::chrono::seconds(t.tv_sec) + std::chrono::microseconds(t.tv_usec);
    };
    return micros(usage.ru_utime) + micros(usage.ru_stime);
}

long processStatus(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::stol(line.substr(key.size() + 1));
    return 0;
}

int openFileDescriptors()
{
    std::error_code error;
    int count = 0;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd", error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error))
        ++count;
    return count;
}

CpuMeter::CpuMeter()
    : m_cpu(processCpuTime())
    , m_wall(std::chrono::steady_clock::now())
{
}

double CpuMeter::shareOfOneCore() const
{
    const auto wall = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - m_wall);
    const auto cpu = processCpuTime() - m_cpu;
    return wall.count() > 0 ? static_cast<double>(cpu.count()) / static_cast<double>(wall.count())
                            : 0.0;
}

} // namespace clampmeter::soak
