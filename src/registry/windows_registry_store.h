// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "registry/registry_store.h"

namespace clampmeter {

/// The Windows registry through its ANSI functions. kHKeyLocalMachine is HKEY_LOCAL_MACHINE;
/// other handles are the registry's own. Every key is opened with KEY_ALL_ACCESS.
class WindowsRegistryStore final : public RegistryStore {
public:
    RegResult createKey(RegKey parent, std::string_view subKey, RegKey& result) override;
    RegResult openKey(RegKey parent, std::string_view subKey, RegKey& result) override;
    RegResult setValue(RegKey key, std::string_view valueName, std::uint32_t type,
        std::span<const std::uint8_t> data) override;
    RegResult queryValue(RegKey key, std::string_view valueName, std::uint32_t& type,
        std::span<std::uint8_t> buffer, std::uint32_t& size) override;
    RegResult deleteKey(RegKey key, std::string_view subKey) override;
    RegResult deleteValue(RegKey key, std::string_view valueName) override;
    RegResult enumKey(
        RegKey key, std::uint32_t index, std::span<char> name, std::uint32_t& nameLength) override;
    RegResult closeKey(RegKey key) override;
};

} // namespace clampmeter
