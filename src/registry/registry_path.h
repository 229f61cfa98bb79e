// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "registry/registry_store.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace clampmeter {

/// Deepest level a key may have below the root.
inline constexpr std::size_t kMaxKeyDepth = 512;

/// Longest value name, in bytes.
inline constexpr std::size_t kMaxValueNameLength = 16383;

/// Splits a sub-key path into its level names, in order from the top. Levels are separated by
/// one backslash; one trailing backslash is allowed and ignored; an empty path gives no names.
/// kErrorBadPathname for an empty level ("\a", "a\\b", "a\\"), kErrorInvalidParameter for a
/// zero byte anywhere or a level longer than kMaxKeyNameLength bytes. ".", ".." and "/" are
/// plain names.
RegResult splitKeyPath(std::string_view path, std::vector<std::string_view>& names);

/// kErrorInvalidParameter for a value name with a zero byte or longer than kMaxValueNameLength
/// bytes, else kErrorSuccess. The empty name is the key's default value.
RegResult checkValueName(std::string_view name);

/// The form in which names are compared: ASCII letters upper-cased, every other byte as it is.
std::string foldName(std::string_view name);

} // namespace clampmeter
