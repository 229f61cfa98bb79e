// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "registry/registry_path.h"

namespace clampmeter {

RegResult splitKeyPath(std::string_view path, std::vector<std::string_view>& names)
{
    names.clear();
    if (path.find('\0') != std::string_view::npos)
        return kErrorInvalidParameter;
    if (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    if (path.empty())
        return kErrorSuccess;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find('\\', start);
        const std::string_view name = path.substr(start, end - start);
        if (name.empty())
            return kErrorBadPathname;
        if (name.size() > kMaxKeyNameLength)
            return kErrorInvalidParameter;
        names.push_back(name);
        if (end == std::string_view::npos)
            return kErrorSuccess;
        start = end + 1;
    }
}

RegResult checkValueName(std::string_view name)
{
    if (name.find('\0') != std::string_view::npos || name.size() > kMaxValueNameLength)
        return kErrorInvalidParameter;
    return kErrorSuccess;
}

std::string foldName(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

} // namespace clampmeter
