// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "registry/registry_store.h"

#include <filesystem>
#include <memory>

namespace clampmeter {

/// The registry of this system: on Windows the real one; elsewhere an SQLite store in the
/// file defaultRegistryStorePath() names, whose folder is created if missing. Never fails
/// itself: a store that cannot be used makes every operation fail.
std::unique_ptr<RegistryStore> openSystemRegistryStore();

/// Systems without a registry: where the SQLite store lives unless told otherwise,
/// "clampmeter/registry.sqlite" in the user's data folder. That folder is `xdgDataHome` when it
/// is an absolute path, else `home`/.local/share when `home` is one; an empty path when neither
/// is usable. Either argument may be null.
std::filesystem::path defaultRegistryStorePath(const char* xdgDataHome, const char* home);

} // namespace clampmeter
