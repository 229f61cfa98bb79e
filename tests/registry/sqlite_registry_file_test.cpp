// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "registry/c_do_reg.h"
#include "registry/sqlite_registry_store.h"
#include "registry/system_registry_store.h"

#include "counting_store.h"
#include "registry_test_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace clampmeter {
namespace {

// The bytes of a regular file; empty for anything else.
std::string fileBytes(const std::filesystem::path& path)
{
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored))
        return {};
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every operation, with the failure result it must give on a store that cannot be used.
void expectEveryOperationFails(RegistryStore& store)
{
    CountingStore counting(store);
    const CDoReg reg(counting);
    EXPECT_EQ(reg.CreatKeyLG("Tool.exe"), 0);
    EXPECT_FALSE(reg.SetKeyValueLG("Tool.exe", "V", 4, 1));
    EXPECT_FALSE(reg.SetKeyValueLG("Tool.exe", "V", 1, 1));
    EXPECT_EQ(shown(reg.GetKeyValueLG("Tool.exe", "V")), "empty");
    EXPECT_FALSE(reg.DeleteKeyLG("Tool.exe"));
    EXPECT_FALSE(reg.DeleteKeyValueLG("Tool.exe", "V"));
    EXPECT_FALSE(reg.IsExistKeyLG(""));
    EXPECT_EQ(reg.SubKeyCount(""), 0);
    EXPECT_FALSE(reg.SetStringValueLG("Tool.exe", "V", "x"));
    EXPECT_FALSE(reg.SetLongValueLG("Tool.exe", "V", 1));
    EXPECT_EQ(counting.opened(), 0);
}

TEST(SqliteStoreFile, ThatIsNoStoreGivesFailureResultsAndStaysUntouched)
{
    TempFolder folder;
    const auto garbage = folder.path() / "garbage.sqlite";
    writeFile(garbage, std::string(4096, 'x') + "not a database at all\n");
    const auto foreign = folder.path() / "foreign.sqlite";
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(foreign.c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE notes (text TEXT); INSERT INTO notes VALUES ('mine')",
            nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    const auto folderAsFile = folder.path() / "a-folder";
    std::filesystem::create_directory(folderAsFile);

    struct Row {
        const char* what;
        std::filesystem::path path;
        RegResult result;
    };
    const Row rows[] = {
        {"text file", garbage, kErrorBadDb},
        {"database of another program", foreign, kErrorBadDb},
        {"folder", folderAsFile, kErrorRegistryIoFailed},
        {"file in a missing folder", folder.path() / "missing" / "registry.sqlite",
            kErrorRegistryIoFailed},
        {"empty path", {}, kErrorRegistryIoFailed},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string before = fileBytes(row.path);
        {
            SqliteRegistryStore store(row.path);
            RegKey key = 0;
            EXPECT_EQ(store.openKey(kHKeyLocalMachine, "SOFTWARE", key), row.result);
            expectEveryOperationFails(store);
        }
        EXPECT_EQ(fileBytes(row.path), before);
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "missing"));
}

TEST(SqliteStoreFile, TwoStoresOnOneFileSeeEachOthersWork)
{
    TempFolder folder;
    SqliteRegistryStore firstStore(folder.path() / "registry.sqlite");
    SqliteRegistryStore secondStore(folder.path() / "registry.sqlite");
    const CDoReg first(firstStore);
    const CDoReg second(secondStore);
    const CDoReg alsoFirst(firstStore);

    EXPECT_EQ(first.CreatKeyLG("Tool.exe\\Sub"), -1);
    EXPECT_TRUE(first.SetStringValueLG("Tool.exe", "Path", "C:\\Tool"));
    EXPECT_EQ(shown(second.GetKeyValueLG("Tool.exe", "Path")), "text:C:\\Tool");
    EXPECT_TRUE(second.SetLongValueLG("Tool.exe", "Count", 3));
    EXPECT_EQ(shown(alsoFirst.GetKeyValueLG("Tool.exe", "Count")), "long:3");

    // A key deleted through one store is gone for a handle the other opened before.
    RegKey held = 0;
    ASSERT_EQ(
        firstStore.openKey(kHKeyLocalMachine, fullPath("Tool.exe\\Sub"), held), kErrorSuccess);
    EXPECT_TRUE(second.DeleteKeyLG("Tool.exe"));
    EXPECT_FALSE(first.IsExistKeyLG("Tool.exe"));
    const std::vector<std::uint8_t> data = {1};
    EXPECT_EQ(firstStore.setValue(held, "V", kRegBinary, data), kErrorKeyDeleted);
    EXPECT_EQ(firstStore.closeKey(held), kErrorSuccess);
}

TEST(SqliteStoreFile, ContentOutlivesTheProcessThatWroteIt)
{
    TempFolder folder;
    const auto path = folder.path() / "registry.sqlite";
    {
        SqliteRegistryStore store(path);
        const CDoReg reg(store);
        ASSERT_EQ(reg.CreatKeyLG("Kept.exe\\Sub"), -1);
        ASSERT_TRUE(reg.SetStringValueLG("Kept.exe", "Path", "C:\\Kept\\kept.exe"));
        ASSERT_TRUE(reg.SetKeyValueLG("Kept.exe", "Count", 4, std::string("7")));
    }

    const std::string child = CLAMPMETER_REGISTRY_CHILD;
    const std::string file = path.string();
    char* const argv[]
        = {const_cast<char*>(child.c_str()), const_cast<char*>(file.c_str()), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, child.c_str(), nullptr, nullptr, argv, environ), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the other process did not find what was written";

    SqliteRegistryStore reopened(path);
    const CDoReg reg(reopened);
    EXPECT_EQ(shown(reg.GetKeyValueLG("FromChild.exe", "Pid")), "long:1");
    EXPECT_EQ(reg.SubKeyCount(""), 2);
}

TEST(SystemRegistryStore, LivesInTheUsersDataFolder)
{
    struct Row {
        const char* xdgDataHome;
        const char* home;
        std::filesystem::path expected;
    };
    const Row rows[] = {
        {"/data", "/home/u", "/data/clampmeter/registry.sqlite"},
        {nullptr, "/home/u", "/home/u/.local/share/clampmeter/registry.sqlite"},
        {"", "/home/u", "/home/u/.local/share/clampmeter/registry.sqlite"},
        {"relative/data", "/home/u", "/home/u/.local/share/clampmeter/registry.sqlite"},
        {nullptr, nullptr, {}},
        {nullptr, "relative", {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(defaultRegistryStorePath(row.xdgDataHome, row.home), row.expected)
            << (row.xdgDataHome ? row.xdgDataHome : "(none)") << ' '
            << (row.home ? row.home : "(none)");
    }
}

TEST(SystemRegistryStore, MakesItsFolderAndFileOnFirstUse)
{
    TempFolder folder;
    const char* previous = std::getenv("XDG_DATA_HOME");
    const std::optional<std::string> saved
        = previous ? std::optional<std::string>(previous) : std::nullopt;
    ::setenv("XDG_DATA_HOME", folder.path().c_str(), 1);
    const auto store = openSystemRegistryStore();
    if (saved)
        ::setenv("XDG_DATA_HOME", saved->c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");

    EXPECT_EQ(CDoReg(*store).CreatKeyLG("Tool.exe"), -1);
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "clampmeter" / "registry.sqlite"));
}

} // namespace
} // namespace clampmeter
