// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "registry/c_do_reg.h"
#include "registry/registry_path.h"
#include "registry/sqlite_registry_store.h"

#include "counting_store.h"
#include "registry_test_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace clampmeter {
namespace {

class SqliteStore : public ::testing::Test {
protected:
    RegKey open(std::string_view subKeyName)
    {
        RegKey key = 0;
        EXPECT_EQ(m_store.createKey(kHKeyLocalMachine, fullPath(subKeyName), key), kErrorSuccess);
        return key;
    }

    TempFolder m_folder;
    SqliteRegistryStore m_store {m_folder.path() / "registry.sqlite"};
};

TEST_F(SqliteStore, QueryWithEmptyBufferReportsTypeAndSize)
{
    const RegKey key = open("Tool.exe");
    const std::vector<std::uint8_t> data = {'a', 'b', 'c', 0};
    ASSERT_EQ(m_store.setValue(key, "Path", kRegSz, data), kErrorSuccess);

    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(m_store.queryValue(key, "Path", type, {}, size), kErrorSuccess);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, 4u);

    std::array<std::uint8_t, 3> tooShort {};
    size = 0;
    EXPECT_EQ(m_store.queryValue(key, "Path", type, tooShort, size), kErrorMoreData);
    EXPECT_EQ(size, 4u);

    std::array<std::uint8_t, 8> roomy {};
    EXPECT_EQ(m_store.queryValue(key, "Path", type, roomy, size), kErrorSuccess);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(std::vector<std::uint8_t>(roomy.begin(), roomy.begin() + 4), data);

    EXPECT_EQ(m_store.queryValue(key, "Missing", type, {}, size), kErrorFileNotFound);
    EXPECT_EQ(m_store.closeKey(key), kErrorSuccess);
}

TEST_F(SqliteStore, EnumerationReportsShortBuffersAndItsEnd)
{
    const RegKey key = open("Tool.exe");
    RegKey child = 0;
    ASSERT_EQ(m_store.createKey(key, "0123456789", child), kErrorSuccess);
    m_store.closeKey(child);

    std::array<char, 11> exact {};
    std::array<char, 10> tooShort {};
    std::uint32_t length = 0;
    EXPECT_EQ(m_store.enumKey(key, 0, tooShort, length), kErrorMoreData);
    EXPECT_EQ(m_store.enumKey(key, 0, exact, length), kErrorSuccess);
    EXPECT_EQ(std::string(exact.data()), "0123456789");
    EXPECT_EQ(length, 10u);
    EXPECT_EQ(m_store.enumKey(key, 1, exact, length), kErrorNoMoreItems);
    m_store.closeKey(key);
}

TEST_F(SqliteStore, DeletesOnlyKeysWithoutSubKeys)
{
    const RegKey key = open("Tool.exe\\Sub");
    const RegKey parent = open("Tool.exe");

    EXPECT_EQ(m_store.deleteKey(parent, {}), kErrorAccessDenied);
    EXPECT_EQ(m_store.deleteKey(parent, "Missing"), kErrorFileNotFound);
    EXPECT_EQ(m_store.deleteKey(kHKeyLocalMachine, {}), kErrorAccessDenied);
    EXPECT_EQ(m_store.deleteKey(parent, "SUB"), kErrorSuccess);
    EXPECT_EQ(m_store.deleteKey(parent, {}), kErrorSuccess);

    // Handles of deleted keys stay handles until closed, but no longer reach a key.
    std::uint32_t length = 0;
    std::array<char, 256> name {};
    EXPECT_EQ(m_store.enumKey(key, 0, name, length), kErrorKeyDeleted);
    EXPECT_EQ(m_store.closeKey(key), kErrorSuccess);
    EXPECT_EQ(m_store.closeKey(parent), kErrorSuccess);
    EXPECT_EQ(m_store.closeKey(parent), kErrorInvalidHandle);
    EXPECT_EQ(m_store.closeKey(kHKeyLocalMachine), kErrorSuccess);
}

// The branch the registry access class works in, without its trailing backslash.
const std::string kAppPaths(CDoReg::kBasePath.substr(0, CDoReg::kBasePath.size() - 1));

// The keys below `path`, each as its path relative to `path`, in enumeration order, every key
// before the keys below it. Keys that are readable only must be unlocked to be looked into.
std::vector<std::string> keysBelow(RegistryStore& store, const std::string& path)
{
    std::vector<std::string> keys;
    for (const std::string& name : subKeyNames(store, path)) {
        keys.push_back(name);
        for (const std::string& below : keysBelow(store, path + "\\" + name))
            keys.push_back(name + "\\" + below);
    }
    return keys;
}

// Values whose key is gone: nothing in the store can reach them any more.
std::int64_t strandedValues(const std::filesystem::path& file)
{
    sqlite3* db = nullptr;
    std::int64_t count = -1;
    if (sqlite3_open(file.c_str(), &db) == SQLITE_OK) {
        sqlite3_stmt* select = nullptr;
        sqlite3_prepare_v2(db,
            "SELECT count(*) FROM reg_values WHERE key NOT IN (SELECT id FROM reg_keys)", -1,
            &select, nullptr);
        if (sqlite3_step(select) == SQLITE_ROW)
            count = sqlite3_column_int64(select, 0);
        sqlite3_finalize(select);
    }
    sqlite3_close(db);
    return count;
}

// A store file holding the keys of one case (paths below the branch, each with a value),
// the ones listed marked readable only.
std::unique_ptr<SqliteRegistryStore> storeWith(const std::filesystem::path& file,
    const std::vector<std::string>& keys, const std::vector<std::string>& locked)
{
    auto store = std::make_unique<SqliteRegistryStore>(file);
    for (const std::string& key : keys) {
        RegKey handle = 0;
        EXPECT_EQ(store->createKey(kHKeyLocalMachine, fullPath(key), handle), kErrorSuccess);
        const std::vector<std::uint8_t> data(key.begin(), key.end());
        EXPECT_EQ(store->setValue(handle, "V", kRegBinary, data), kErrorSuccess);
        store->closeKey(handle);
    }
    for (const std::string& key : locked)
        EXPECT_EQ(store->setKeyAccess(fullPath(key), KeyAccess::ReadableOnly), kErrorSuccess);
    return store;
}

// The store deletes a branch in one step; the default of the interface, which a store without
// a quicker way uses, goes key by key. Both must leave the same keys and give the same result.
TEST(SqliteStoreBranch, DeletionInOneStepLeavesWhatKeyByKeyLeaves)
{
    struct Row {
        const char* name;
        std::vector<std::string> keys;
        std::vector<std::string> locked;
        // The key deleted with everything below it; empty for the root of the store.
        std::string target;
        RegResult result;
        // The keys left below the branch afterwards.
        std::vector<std::string> left;
    };
    const Row rows[] = {
        {"key without sub-keys", {"Top", "Other"}, {}, "Top", kErrorSuccess, {"Other"}},
        {"nested branch", {"Top\\A\\B\\C", "Top\\A\\D", "Top\\E", "Other"}, {}, "Top",
            kErrorSuccess, {"Other"}},
        {"readable-only sub-key between two others", {"Top\\A", "Top\\B", "Top\\C"}, {"Top\\B"},
            "Top", kErrorAccessDenied, {"Top", "Top\\B", "Top\\C"}},
        {"readable-only key two levels down",
            {"Top\\A\\A1", "Top\\A\\A2\\X", "Top\\A\\A3", "Top\\B"}, {"Top\\A\\A2"}, "Top",
            kErrorAccessDenied,
            {"Top", "Top\\A", "Top\\A\\A2", "Top\\A\\A2\\X", "Top\\A\\A3", "Top\\B"}},
        {"readable-only first sub-key", {"Top\\a", "Top\\B"}, {"Top\\a"}, "Top", kErrorAccessDenied,
            {"Top", "Top\\a", "Top\\B"}},
        // Enumeration compares names with ASCII letters upper-cased: "_u" comes after "C".
        {"sub-keys in enumeration order", {"Top\\b", "Top\\_u", "Top\\A", "Top\\\xE9", "Top\\C"},
            {"Top\\C"}, "Top", kErrorAccessDenied, {"Top", "Top\\C", "Top\\_u", "Top\\\xE9"}},
        {"root, which itself stays", {"Top\\A"}, {}, "", kErrorAccessDenied, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder folder;
        const auto oneStep = storeWith(folder.path() / "one.sqlite", row.keys, row.locked);
        const auto keyByKey = storeWith(folder.path() / "two.sqlite", row.keys, row.locked);
        RegKey oneStepKey = kHKeyLocalMachine;
        RegKey keyByKeyKey = kHKeyLocalMachine;
        if (!row.target.empty()) {
            ASSERT_EQ(oneStep->openKey(kHKeyLocalMachine, fullPath(row.target), oneStepKey),
                kErrorSuccess);
            ASSERT_EQ(keyByKey->openKey(kHKeyLocalMachine, fullPath(row.target), keyByKeyKey),
                kErrorSuccess);
        }

        EXPECT_EQ(oneStep->deleteTree(oneStepKey), row.result);
        EXPECT_EQ(keyByKey->RegistryStore::deleteTree(keyByKeyKey), row.result);

        oneStep->closeKey(oneStepKey);
        keyByKey->closeKey(keyByKeyKey);
        // Unlocked, so that the keys below them can be listed.
        for (const std::string& key : row.locked) {
            oneStep->setKeyAccess(fullPath(key), KeyAccess::Full);
            keyByKey->setKeyAccess(fullPath(key), KeyAccess::Full);
        }
        const std::string listed = row.target.empty() ? "" : kAppPaths;
        const auto left = keysBelow(*oneStep, listed);
        EXPECT_EQ(left, row.left);
        EXPECT_EQ(keysBelow(*keyByKey, listed), left);
        EXPECT_EQ(strandedValues(folder.path() / "one.sqlite"), 0);
    }
}

TEST(SqliteStoreBranch, CountsInOneStepWhatKeyByKeyCounts)
{
    struct Row {
        int subKeys;
        std::uint32_t limit;
        std::uint32_t count;
    };
    // Past the limit both stop at one more than it.
    const Row rows[] = {{0, 10, 0}, {3, 10, 3}, {3, 3, 3}, {5, 2, 3}, {1, 0, 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.subKeys);
        std::vector<std::string> keys {"Top"};
        for (int i = 0; i < row.subKeys; ++i)
            keys.push_back("Top\\" + std::to_string(i) + "\\Deeper");
        TempFolder folder;
        const auto store = storeWith(folder.path() / "registry.sqlite", keys, {});
        RegKey key = 0;
        ASSERT_EQ(store->openKey(kHKeyLocalMachine, fullPath("Top"), key), kErrorSuccess);

        std::uint32_t oneStep = 99;
        std::uint32_t keyByKey = 99;
        EXPECT_EQ(store->countSubKeys(key, row.limit, oneStep), kErrorSuccess);
        EXPECT_EQ(store->RegistryStore::countSubKeys(key, row.limit, keyByKey), kErrorSuccess);
        EXPECT_EQ(oneStep, row.count);
        EXPECT_EQ(keyByKey, row.count);
        store->closeKey(key);
    }
}

// Gives the newest key of the store `count` sub-keys named 0, 1, … in one statement straight
// in the file: made one by one through the store, they would take seconds.
bool addSubKeysToNewestKey(const std::filesystem::path& file, int count)
{
    constexpr const char* kInsert = R"(
        WITH RECURSIVE n (i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?1)
        INSERT INTO reg_keys (parent, name, folded, depth)
            SELECT p.id, CAST(CAST(i AS TEXT) AS BLOB), CAST(CAST(i AS TEXT) AS BLOB), p.depth + 1
            FROM n, reg_keys AS p WHERE p.id = (SELECT max(id) FROM reg_keys))";
    sqlite3* db = nullptr;
    sqlite3_stmt* insert = nullptr;
    const bool done = sqlite3_open(file.c_str(), &db) == SQLITE_OK
        && sqlite3_prepare_v2(db, kInsert, -1, &insert, nullptr) == SQLITE_OK
        && sqlite3_bind_int(insert, 1, count) == SQLITE_OK && sqlite3_step(insert) == SQLITE_DONE;
    sqlite3_finalize(insert);
    sqlite3_close(db);
    return done;
}

TEST(SqliteStoreBranch, CountsAndDeletesFourThousandSubKeys)
{
    TempFolder folder;
    const auto file = folder.path() / "registry.sqlite";
    SqliteRegistryStore sqlite(file);
    CountingStore store(sqlite);
    const CDoReg reg(store);
    ASSERT_EQ(reg.CreatKeyLG("Neighbour"), -1);
    ASSERT_EQ(reg.CreatKeyLG("Big"), -1);
    constexpr int kSubKeys = 4000;
    ASSERT_TRUE(addSubKeysToNewestKey(file, kSubKeys));
    ASSERT_EQ(reg.CreatKeyLG("Big\\7\\Deeper"), -1);
    for (const char* key : {"Big\\0", "Big\\7\\Deeper", "Big\\3999"})
        ASSERT_TRUE(reg.SetLongValueLG(key, "N", 42)) << key;

    EXPECT_EQ(reg.SubKeyCount("Big"), kSubKeys);
    EXPECT_TRUE(reg.DeleteKeyLG("Big"));

    EXPECT_FALSE(reg.IsExistKeyLG("Big"));
    EXPECT_EQ(subKeyNames(store, kAppPaths), std::vector<std::string> {"Neighbour"});
    EXPECT_EQ(strandedValues(file), 0);
    EXPECT_TRUE(store.openKeys().empty());
}

TEST(RegistryPath, SplitsLevelsAtSingleBackslashes)
{
    struct Row {
        std::string path;
        RegResult result;
        std::size_t levels;
    };
    const Row rows[] = {
        {"", kErrorSuccess, 0},
        {"\\", kErrorSuccess, 0},
        {"a", kErrorSuccess, 1},
        {"a\\", kErrorSuccess, 1},
        {"a\\b", kErrorSuccess, 2},
        {"..\\.\\/", kErrorSuccess, 3},
        {"\\a", kErrorBadPathname, 0},
        {"a\\\\b", kErrorBadPathname, 0},
        {"a\\\\", kErrorBadPathname, 0},
        {"\\\\", kErrorBadPathname, 0},
        {std::string("a\0b", 3), kErrorInvalidParameter, 0},
        {std::string(255, 'n') + "\\b", kErrorSuccess, 2},
        {"a\\" + std::string(256, 'n'), kErrorInvalidParameter, 0},
    };
    for (const Row& row : rows) {
        std::vector<std::string_view> names;
        const RegResult result = splitKeyPath(row.path, names);
        EXPECT_EQ(result, row.result) << row.path;
        if (result == kErrorSuccess) {
            EXPECT_EQ(names.size(), row.levels) << row.path;
        }
    }
}

TEST_F(SqliteStore, ValueNamesFollowTheRegistryRules)
{
    const RegKey key = open("Tool.exe");
    const std::vector<std::uint8_t> data = {1};
    EXPECT_EQ(m_store.setValue(key, "", kRegBinary, data), kErrorSuccess);
    EXPECT_EQ(m_store.setValue(key, "a\\b", kRegBinary, data), kErrorSuccess);
    EXPECT_EQ(m_store.setValue(key, std::string(kMaxValueNameLength, 'v'), kRegBinary, data),
        kErrorSuccess);
    EXPECT_EQ(m_store.setValue(key, std::string(kMaxValueNameLength + 1, 'v'), kRegBinary, data),
        kErrorInvalidParameter);
    EXPECT_EQ(
        m_store.setValue(key, std::string("a\0b", 3), kRegBinary, data), kErrorInvalidParameter);
    EXPECT_EQ(m_store.deleteValue(key, ""), kErrorSuccess);
    EXPECT_EQ(m_store.deleteValue(key, ""), kErrorFileNotFound);
    m_store.closeKey(key);
}

TEST_F(SqliteStore, ReadableOnlyMarkComesAndGoes)
{
    m_store.closeKey(open("Tool.exe"));
    RegKey key = 0;
    EXPECT_EQ(
        m_store.setKeyAccess(fullPath("Missing"), KeyAccess::ReadableOnly), kErrorFileNotFound);
    EXPECT_EQ(m_store.setKeyAccess("", KeyAccess::ReadableOnly), kErrorInvalidParameter);

    ASSERT_EQ(m_store.setKeyAccess(fullPath("tool.exe"), KeyAccess::ReadableOnly), kErrorSuccess);
    EXPECT_EQ(m_store.openKey(kHKeyLocalMachine, fullPath("Tool.exe"), key), kErrorAccessDenied);
    EXPECT_EQ(m_store.deleteKey(kHKeyLocalMachine, fullPath("Tool.exe")), kErrorAccessDenied);

    ASSERT_EQ(m_store.setKeyAccess(fullPath("Tool.exe"), KeyAccess::Full), kErrorSuccess);
    EXPECT_EQ(m_store.openKey(kHKeyLocalMachine, fullPath("Tool.exe"), key), kErrorSuccess);
    m_store.closeKey(key);
}

} // namespace
} // namespace clampmeter
