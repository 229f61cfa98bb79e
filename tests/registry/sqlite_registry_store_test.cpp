// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "registry/c_do_reg.h"
#include "registry/registry_path.h"
#include "registry/sqlite_registry_store.h"

#include "registry_test_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <array>
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
