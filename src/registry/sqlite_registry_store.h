// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "registry/registry_store.h"
#include "registry/sqlite_database.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace clampmeter {

/// What a key lets its users do; stands in for the access rights of a real registry.
enum class KeyAccess {
    Full,
    /// The key can be listed in its parent's sub-keys, but opening or creating it (which
    /// always asks for full access) is denied, and so is creating a key below it.
    ReadableOnly,
};

/// A registry kept in an SQLite database file, for systems without a registry of their own.
///
/// Keys form a tree below HKEY_LOCAL_MACHINE, which holds the key
/// "SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths" from the start. Key and value names
/// are compared without regard to the case of ASCII letters; every other byte counts as it
/// is. Every operation is one transaction: it happens entirely or not at all, also when several
/// connections or processes share the file. Handles belong to the object that issued them.
class SqliteRegistryStore final : public RegistryStore {
public:
    /// Works on the database file at `path`, created if missing (its folder must exist).
    /// Never fails itself: if the file cannot be opened, or is not a database of this store,
    /// every operation fails with kErrorBadDb or kErrorRegistryIoFailed and the file is left
    /// untouched.
    explicit SqliteRegistryStore(const std::filesystem::path& path);

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
    /// One query, however many sub-keys there are.
    RegResult countSubKeys(RegKey key, std::uint32_t limit, std::uint32_t& count) override;
    /// One transaction that reads the branch once. Stopped by a readable-only key, it commits
    /// the deletions made before it together, as the key-by-key deletion would leave them.
    RegResult deleteTree(RegKey key) override;

    /// Sets the access of the existing key at `keyPath` (below HKEY_LOCAL_MACHINE).
    /// kErrorFileNotFound for a missing key, kErrorInvalidParameter for the root itself.
    RegResult setKeyAccess(std::string_view keyPath, KeyAccess access);

private:
    enum class Lock { Read, Write };

    struct KeyRow {
        std::int64_t id = 0;
        std::int64_t depth = 0;
        bool readableOnly = false;
    };

    template <typename Body> RegResult transact(Lock lock, Body&& body);

    RegResult resolve(RegKey key, KeyRow& row);
    std::optional<KeyRow> findKey(std::int64_t id);
    std::optional<KeyRow> findChild(std::int64_t parent, std::string_view name);
    RegResult walk(const KeyRow& from, const std::vector<std::string_view>& names, KeyRow& found);
    RegResult createPath(
        const KeyRow& from, const std::vector<std::string_view>& names, KeyRow& found);
    RegKey issueHandle(std::int64_t id);
    std::vector<std::int64_t> deletionOrder(std::int64_t top, bool& complete);
    void deleteKeys(const std::vector<std::int64_t>& ids);

    SqliteDatabase m_db;
    bool m_schemaReady = false;
    std::unordered_map<RegKey, std::int64_t> m_handles;
    RegKey m_nextHandle = 1;
};

} // namespace clampmeter
