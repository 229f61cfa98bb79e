// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "registry/system_registry_store.h"

#include "registry/sqlite_registry_store.h"

#include <cstdlib>
#include <system_error>

namespace clampmeter {

std::filesystem::path defaultRegistryStorePath(const char* xdgDataHome, const char* home)
{
    std::filesystem::path dataHome;
    // A relative XDG_DATA_HOME is invalid and must be ignored.
    if (xdgDataHome != nullptr && std::filesystem::path(xdgDataHome).is_absolute())
        dataHome = xdgDataHome;
    else if (home != nullptr && std::filesystem::path(home).is_absolute())
        dataHome = std::filesystem::path(home) / ".local" / "share";
    else
        return {};
    return dataHome / "clampmeter" / "registry.sqlite";
}

std::unique_ptr<RegistryStore> openSystemRegistryStore()
{
    const auto path = defaultRegistryStorePath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (!path.empty()) {
        // A folder that cannot be made shows up as the store's failure on first use.
        std::error_code ignored;
        std::filesystem::create_directories(path.parent_path(), ignored);
    }
    return std::make_unique<SqliteRegistryStore>(path);
}

} // namespace clampmeter
