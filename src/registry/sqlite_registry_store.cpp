// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "registry/sqlite_registry_store.h"

#include "registry/registry_path.h"
#include "registry/sqlite_registry_schema.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

namespace clampmeter {
namespace {

constexpr std::int64_t kRootId = 1;

struct SubKey {
    std::int64_t id = 0;
    bool readableOnly = false;
};

// The sub-keys of every key of a branch, each list in the order of enumKey().
using BranchKeys = std::unordered_map<std::int64_t, std::vector<SubKey>>;

// Appends the keys below `parent` to `order` as the deletion key by key takes them, every key
// after the keys below it; false at the first key that cannot be opened, where it stops.
bool appendDeletionOrder(
    const BranchKeys& branch, std::int64_t parent, std::vector<std::int64_t>& order)
{
    const auto subKeys = branch.find(parent);
    if (subKeys == branch.end())
        return true;
    for (const SubKey& subKey : subKeys->second) {
        if (subKey.readableOnly || !appendDeletionOrder(branch, subKey.id, order))
            return false;
        order.push_back(subKey.id);
    }
    return true;
}

} // namespace

SqliteRegistryStore::SqliteRegistryStore(const std::filesystem::path& path)
    : m_db(path)
{
}

template <typename Body> RegResult SqliteRegistryStore::transact(Lock lock, Body&& body)
{
    if (!m_schemaReady) {
        if (const RegResult ready = prepareRegistrySchema(m_db); ready != kErrorSuccess)
            return ready;
        m_schemaReady = true;
    }
    try {
        // A writer takes the write lock at once, so that its reads and writes see one state.
        m_db.execute(lock == Lock::Write ? "BEGIN IMMEDIATE" : "BEGIN");
    } catch (const SqliteFault& fault) {
        return sqliteResult(fault.code);
    }
    try {
        const RegResult result = body();
        if (result != kErrorSuccess) {
            m_db.rollback();
            return result;
        }
        m_db.execute("COMMIT");
        return kErrorSuccess;
    } catch (const SqliteFault& fault) {
        m_db.rollback();
        return sqliteResult(fault.code);
    } catch (...) {
        m_db.rollback();
        throw;
    }
}

std::optional<SqliteRegistryStore::KeyRow> SqliteRegistryStore::findKey(std::int64_t id)
{
    SqliteStatement select(m_db, "SELECT depth, readable_only FROM reg_keys WHERE id = ?");
    if (!select.bind(1, id).step())
        return std::nullopt;
    return KeyRow {id, select.columnInt(0), select.columnInt(1) != 0};
}

std::optional<SqliteRegistryStore::KeyRow> SqliteRegistryStore::findChild(
    std::int64_t parent, std::string_view name)
{
    SqliteStatement select(
        m_db, "SELECT id, depth, readable_only FROM reg_keys WHERE parent = ? AND folded = ?");
    if (!select.bind(1, parent).bind(2, foldName(name)).step())
        return std::nullopt;
    return KeyRow {select.columnInt(0), select.columnInt(1), select.columnInt(2) != 0};
}

RegResult SqliteRegistryStore::resolve(RegKey key, KeyRow& row)
{
    if (key == kHKeyLocalMachine) {
        row = KeyRow {kRootId, 0, false};
        return kErrorSuccess;
    }
    const auto handle = m_handles.find(key);
    if (handle == m_handles.end())
        return kErrorInvalidHandle;
    const auto found = findKey(handle->second);
    if (!found)
        return kErrorKeyDeleted;
    row = *found;
    return kErrorSuccess;
}

RegResult SqliteRegistryStore::walk(
    const KeyRow& from, const std::vector<std::string_view>& names, KeyRow& found)
{
    found = from;
    for (const std::string_view name : names) {
        const auto child = findChild(found.id, name);
        if (!child)
            return kErrorFileNotFound;
        found = *child;
    }
    return kErrorSuccess;
}

RegResult SqliteRegistryStore::createPath(
    const KeyRow& from, const std::vector<std::string_view>& names, KeyRow& found)
{
    found = from;
    for (const std::string_view name : names) {
        if (const auto child = findChild(found.id, name)) {
            found = *child;
            continue;
        }
        if (found.readableOnly)
            return kErrorAccessDenied;
        if (found.depth >= static_cast<std::int64_t>(kMaxKeyDepth))
            return kErrorInvalidParameter;
        SqliteStatement insert(
            m_db, "INSERT INTO reg_keys (parent, name, folded, depth) VALUES (?, ?, ?, ?)");
        insert.bind(1, found.id).bind(2, name).bind(3, foldName(name)).bind(4, found.depth + 1);
        insert.run();
        found = KeyRow {m_db.lastInsertId(), found.depth + 1, false};
    }
    return found.readableOnly ? kErrorAccessDenied : kErrorSuccess;
}

RegKey SqliteRegistryStore::issueHandle(std::int64_t id)
{
    RegKey handle = m_nextHandle++;
    if (handle == kHKeyLocalMachine)
        handle = m_nextHandle++;
    m_handles.emplace(handle, id);
    return handle;
}

RegResult SqliteRegistryStore::createKey(RegKey parent, std::string_view subKey, RegKey& result)
{
    std::vector<std::string_view> names;
    if (const RegResult valid = splitKeyPath(subKey, names); valid != kErrorSuccess)
        return valid;
    KeyRow created;
    const RegResult outcome = transact(Lock::Write, [&] {
        KeyRow from;
        const RegResult resolved = resolve(parent, from);
        return resolved != kErrorSuccess ? resolved : createPath(from, names, created);
    });
    if (outcome == kErrorSuccess)
        result = issueHandle(created.id);
    return outcome;
}

RegResult SqliteRegistryStore::openKey(RegKey parent, std::string_view subKey, RegKey& result)
{
    std::vector<std::string_view> names;
    if (const RegResult valid = splitKeyPath(subKey, names); valid != kErrorSuccess)
        return valid;
    KeyRow opened;
    const RegResult outcome = transact(Lock::Read, [&] {
        KeyRow from;
        if (const RegResult resolved = resolve(parent, from); resolved != kErrorSuccess)
            return resolved;
        if (const RegResult found = walk(from, names, opened); found != kErrorSuccess)
            return found;
        return opened.readableOnly ? kErrorAccessDenied : kErrorSuccess;
    });
    if (outcome == kErrorSuccess)
        result = issueHandle(opened.id);
    return outcome;
}

RegResult SqliteRegistryStore::setValue(
    RegKey key, std::string_view valueName, std::uint32_t type, std::span<const std::uint8_t> data)
{
    if (const RegResult valid = checkValueName(valueName); valid != kErrorSuccess)
        return valid;
    if (data.size() > std::numeric_limits<std::uint32_t>::max())
        return kErrorInvalidParameter;
    return transact(Lock::Write, [&] {
        KeyRow row;
        if (const RegResult resolved = resolve(key, row); resolved != kErrorSuccess)
            return resolved;
        // A value written again keeps the name it was first written with, as in the registry.
        SqliteStatement upsert(m_db,
            "INSERT INTO reg_values (key, name, folded, type, data) VALUES (?, ?, ?, ?, ?)"
            " ON CONFLICT (key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
        upsert.bind(1, row.id).bind(2, valueName).bind(3, foldName(valueName));
        upsert.bind(4, static_cast<std::int64_t>(type)).bind(5, data).run();
        return kErrorSuccess;
    });
}

RegResult SqliteRegistryStore::queryValue(RegKey key, std::string_view valueName,
    std::uint32_t& type, std::span<std::uint8_t> buffer, std::uint32_t& size)
{
    if (const RegResult valid = checkValueName(valueName); valid != kErrorSuccess)
        return valid;
    return transact(Lock::Read, [&] {
        KeyRow row;
        if (const RegResult resolved = resolve(key, row); resolved != kErrorSuccess)
            return resolved;
        SqliteStatement select(
            m_db, "SELECT type, data FROM reg_values WHERE key = ? AND folded = ?");
        if (!select.bind(1, row.id).bind(2, foldName(valueName)).step())
            return kErrorFileNotFound;
        const std::string data = select.columnBytes(1);
        type = static_cast<std::uint32_t>(select.columnInt(0));
        size = static_cast<std::uint32_t>(data.size());
        if (buffer.empty())
            return kErrorSuccess;
        if (buffer.size() < data.size())
            return kErrorMoreData;
        std::copy(data.begin(), data.end(), buffer.begin());
        return kErrorSuccess;
    });
}

RegResult SqliteRegistryStore::deleteKey(RegKey key, std::string_view subKey)
{
    std::vector<std::string_view> names;
    if (const RegResult valid = splitKeyPath(subKey, names); valid != kErrorSuccess)
        return valid;
    return transact(Lock::Write, [&] {
        KeyRow from;
        KeyRow target;
        if (const RegResult resolved = resolve(key, from); resolved != kErrorSuccess)
            return resolved;
        if (const RegResult found = walk(from, names, target); found != kErrorSuccess)
            return found;
        // The key given by handle was opened with full access; one named below it is opened now.
        if ((!names.empty() && target.readableOnly) || target.id == kRootId)
            return kErrorAccessDenied;
        SqliteStatement child(m_db, "SELECT 1 FROM reg_keys WHERE parent = ? LIMIT 1");
        if (child.bind(1, target.id).step())
            return kErrorAccessDenied;
        SqliteStatement(m_db, "DELETE FROM reg_values WHERE key = ?").bind(1, target.id).run();
        SqliteStatement(m_db, "DELETE FROM reg_keys WHERE id = ?").bind(1, target.id).run();
        return kErrorSuccess;
    });
}

RegResult SqliteRegistryStore::deleteValue(RegKey key, std::string_view valueName)
{
    if (const RegResult valid = checkValueName(valueName); valid != kErrorSuccess)
        return valid;
    return transact(Lock::Write, [&] {
        KeyRow row;
        if (const RegResult resolved = resolve(key, row); resolved != kErrorSuccess)
            return resolved;
        SqliteStatement(m_db, "DELETE FROM reg_values WHERE key = ? AND folded = ?")
            .bind(1, row.id)
            .bind(2, foldName(valueName))
            .run();
        return m_db.changes() == 0 ? kErrorFileNotFound : kErrorSuccess;
    });
}

RegResult SqliteRegistryStore::enumKey(
    RegKey key, std::uint32_t index, std::span<char> name, std::uint32_t& nameLength)
{
    return transact(Lock::Read, [&] {
        KeyRow row;
        if (const RegResult resolved = resolve(key, row); resolved != kErrorSuccess)
            return resolved;
        SqliteStatement select(
            m_db, "SELECT name FROM reg_keys WHERE parent = ? ORDER BY folded LIMIT 1 OFFSET ?");
        if (!select.bind(1, row.id).bind(2, static_cast<std::int64_t>(index)).step())
            return kErrorNoMoreItems;
        const std::string found = select.columnBytes(0);
        if (found.size() + 1 > name.size())
            return kErrorMoreData;
        std::copy(found.begin(), found.end(), name.begin());
        name[found.size()] = '\0';
        nameLength = static_cast<std::uint32_t>(found.size());
        return kErrorSuccess;
    });
}

RegResult SqliteRegistryStore::closeKey(RegKey key)
{
    if (key == kHKeyLocalMachine)
        return kErrorSuccess;
    return m_handles.erase(key) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

RegResult SqliteRegistryStore::countSubKeys(RegKey key, std::uint32_t limit, std::uint32_t& count)
{
    count = 0;
    return transact(Lock::Read, [&] {
        KeyRow row;
        if (const RegResult resolved = resolve(key, row); resolved != kErrorSuccess)
            return resolved;
        // Stops past the limit, as the enumeration does.
        SqliteStatement select(
            m_db, "SELECT count(*) FROM (SELECT 1 FROM reg_keys WHERE parent = ? LIMIT ?)");
        select.bind(1, row.id).bind(2, std::int64_t {limit} + 1).step();
        count = static_cast<std::uint32_t>(select.columnInt(0));
        return kErrorSuccess;
    });
}

std::vector<std::int64_t> SqliteRegistryStore::deletionOrder(std::int64_t top, bool& complete)
{
    SqliteStatement select(m_db,
        "WITH RECURSIVE branch (id, parent, folded, readable_only) AS ("
        " SELECT id, parent, folded, readable_only FROM reg_keys WHERE parent = ?"
        " UNION ALL SELECT k.id, k.parent, k.folded, k.readable_only"
        " FROM reg_keys AS k JOIN branch AS b ON k.parent = b.id)"
        " SELECT id, parent, readable_only FROM branch ORDER BY folded");
    select.bind(1, top);
    BranchKeys branch;
    while (select.step())
        branch[select.columnInt(1)].push_back(
            SubKey {select.columnInt(0), select.columnInt(2) != 0});
    std::vector<std::int64_t> order;
    complete = appendDeletionOrder(branch, top, order);
    // The root is never deleted, but the keys below it are, as key by key.
    if (complete && top != kRootId)
        order.push_back(top);
    return order;
}

void SqliteRegistryStore::deleteKeys(const std::vector<std::int64_t>& ids)
{
    SqliteStatement values(m_db, "DELETE FROM reg_values WHERE key = ?");
    SqliteStatement keys(m_db, "DELETE FROM reg_keys WHERE id = ?");
    for (const std::int64_t id : ids) {
        values.reset().bind(1, id).run();
        keys.reset().bind(1, id).run();
    }
}

RegResult SqliteRegistryStore::deleteTree(RegKey key)
{
    RegResult outcome = kErrorSuccess;
    const RegResult done = transact(Lock::Write, [&] {
        KeyRow top;
        if (const RegResult resolved = resolve(key, top); resolved != kErrorSuccess)
            return resolved;
        bool complete = false;
        deleteKeys(deletionOrder(top.id, complete));
        // As deleteKey() would answer for the key itself at the end.
        outcome = complete && top.id != kRootId ? kErrorSuccess : kErrorAccessDenied;
        // Deletions before a stop are kept: the transaction commits either way.
        return kErrorSuccess;
    });
    return done != kErrorSuccess ? done : outcome;
}

RegResult SqliteRegistryStore::setKeyAccess(std::string_view keyPath, KeyAccess access)
{
    std::vector<std::string_view> names;
    if (const RegResult valid = splitKeyPath(keyPath, names); valid != kErrorSuccess)
        return valid;
    if (names.empty())
        return kErrorInvalidParameter;
    return transact(Lock::Write, [&] {
        KeyRow target;
        if (const RegResult found = walk(KeyRow {kRootId, 0, false}, names, target);
            found != kErrorSuccess)
            return found;
        SqliteStatement(m_db, "UPDATE reg_keys SET readable_only = ? WHERE id = ?")
            .bind(1, std::int64_t {access == KeyAccess::ReadableOnly ? 1 : 0})
            .bind(2, target.id)
            .run();
        return kErrorSuccess;
    });
}

} // namespace clampmeter
