// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "log/log_file_name.h"

#include <vector>

namespace clampmeter::cli {
namespace {

// Room for any path (PATH_MAX) with its terminator, and more.
constexpr std::size_t kLongestName = 8192;

} // namespace

std::string logFileName(std::string_view pattern, const std::tm& local)
{
    if (pattern.find('%') == std::string_view::npos)
        return std::string(pattern);
    const std::string format(pattern);
    std::vector<char> name(kLongestName);
    const std::size_t size = std::strftime(name.data(), name.size(), format.c_str(), &local);
    return {name.data(), size};
}

} // namespace clampmeter::cli
