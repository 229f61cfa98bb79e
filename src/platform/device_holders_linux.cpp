// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/device_holders.h"

#include <filesystem>
#include <fstream>

namespace clampmeter {
namespace {

namespace fs = std::filesystem;

std::string processName(const fs::path& process)
{
    std::ifstream comm(process / "comm");
    std::string name;
    std::getline(comm, name);
    return name.empty() ? std::string("a program") : name;
}

bool holds(const fs::path& process, const fs::path& device)
{
    std::error_code error;
    for (fs::directory_iterator fd(process / "fd", error), end; !error && fd != end;
         fd.increment(error)) {
        std::error_code linkError;
        if (fs::read_symlink(fd->path(), linkError) == device && !linkError)
            return true;
    }
    return false;
}

} // namespace

std::vector<std::string> processesHoldingDevice(const std::string& path)
{
    std::vector<std::string> holders;
    std::error_code error;
    // The table names each open file by its real path: /dev/pts/3, never a by-id link to it.
    const fs::path device = fs::canonical(path, error);
    if (error)
        return holders;
    for (fs::directory_iterator entry("/proc", error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string pid = entry->path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (holds(entry->path(), device))
            holders.push_back(processName(entry->path()) + " (process " + pid + ")");
    }
    return holders;
}

} // namespace clampmeter
