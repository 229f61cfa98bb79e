// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the soak measures of its own process on Linux: CPU time, resident memory, open file
// descriptors, threads.

#pragma once

#include <chrono>
#include <string>

namespace clampmeter::soak {

/// CPU time (user and system) of this process so far.
std::chrono::microseconds processCpuTime();
/// A value of /proc/self/status in kB ("VmRSS", "VmHWM"), or a count ("Threads"); 0 if absent.
long processStatus(const std::string& key);
/// Entries of /proc/self/fd.
int openFileDescriptors();

/// CPU use between construction and now, as a share of one core.
class CpuMeter {
public:
    CpuMeter();
    double shareOfOneCore() const;

private:
    std::chrono::microseconds m_cpu;
    std::chrono::steady_clock::time_point m_wall;
};

} // namespace clampmeter::soak
