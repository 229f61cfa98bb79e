// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "registry/c_do_reg.h"
#include "registry/registry_store.h"

#include <string>
#include <string_view>

namespace clampmeter {

/// Passes every call on to another store, with the registry class's branch moved one level
/// down into a key of the caller's: a test can then count, fill and empty "the branch" of a
/// shared registry without seeing or touching what other programs keep there.
class OwnBranchStore final : public RegistryStore {
public:
    /// `ownKey` is a sub-key name of the real branch; it must exist while the store is used.
    OwnBranchStore(RegistryStore& inner, std::string ownKey)
        : m_inner(inner)
        , m_ownPath(std::string(CDoReg::kBasePath) + ownKey)
    {
    }

    /// The path in the inner store of a path given to this one.
    std::string moved(std::string_view path) const
    {
        if (!path.starts_with(CDoReg::kBasePath))
            return std::string(path);
        path.remove_prefix(CDoReg::kBasePath.size());
        return path.empty() ? m_ownPath : m_ownPath + "\\" + std::string(path);
    }

    RegResult createKey(RegKey parent, std::string_view subKey, RegKey& result) override
    {
        return m_inner.createKey(parent, fromRoot(parent, subKey), result);
    }
    RegResult openKey(RegKey parent, std::string_view subKey, RegKey& result) override
    {
        return m_inner.openKey(parent, fromRoot(parent, subKey), result);
    }
    RegResult setValue(RegKey key, std::string_view valueName, std::uint32_t type,
        std::span<const std::uint8_t> data) override
    {
        return m_inner.setValue(key, valueName, type, data);
    }
    RegResult queryValue(RegKey key, std::string_view valueName, std::uint32_t& type,
        std::span<std::uint8_t> buffer, std::uint32_t& size) override
    {
        return m_inner.queryValue(key, valueName, type, buffer, size);
    }
    RegResult deleteKey(RegKey key, std::string_view subKey) override
    {
        return m_inner.deleteKey(key, fromRoot(key, subKey));
    }
    RegResult deleteValue(RegKey key, std::string_view valueName) override
    {
        return m_inner.deleteValue(key, valueName);
    }
    RegResult enumKey(
        RegKey key, std::uint32_t index, std::span<char> name, std::uint32_t& nameLength) override
    {
        return m_inner.enumKey(key, index, name, nameLength);
    }
    RegResult closeKey(RegKey key) override { return m_inner.closeKey(key); }
    RegResult countSubKeys(RegKey key, std::uint32_t limit, std::uint32_t& count) override
    {
        return m_inner.countSubKeys(key, limit, count);
    }
    RegResult deleteTree(RegKey key) override { return m_inner.deleteTree(key); }

private:
    // Only paths from the root name the branch; below an open key they are relative.
    std::string fromRoot(RegKey parent, std::string_view subKey) const
    {
        return parent == kHKeyLocalMachine ? moved(subKey) : std::string(subKey);
    }

    RegistryStore& m_inner;
    std::string m_ownPath;
};

} // namespace clampmeter
