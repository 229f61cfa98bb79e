// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "registry/c_do_reg.h"
#include "registry/registry_path.h"
#include "registry/sqlite_registry_store.h"

#include "counting_store.h"
#include "registry_test_support.h"
#include "temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace clampmeter {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

class RegistryNames : public ::testing::Test {
protected:
    // Every level of the branch holds exactly the next one, and nothing else exists above it.
    void expectNothingOutsideTheBranch()
    {
        EXPECT_THAT(subKeyNames(m_sqlite, ""), ElementsAre("SOFTWARE"));
        EXPECT_THAT(subKeyNames(m_sqlite, "SOFTWARE"), ElementsAre("Microsoft"));
        EXPECT_THAT(subKeyNames(m_sqlite, "SOFTWARE\\Microsoft"), ElementsAre("Windows"));
        EXPECT_THAT(
            subKeyNames(m_sqlite, "SOFTWARE\\Microsoft\\Windows"), ElementsAre("CurrentVersion"));
        EXPECT_THAT(subKeyNames(m_sqlite, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"),
            ElementsAre("App Paths"));
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder.path()))
            files.push_back(entry.path().filename().string());
        EXPECT_THAT(files, ElementsAre("registry.sqlite"));
    }

    TempFolder m_folder;
    SqliteRegistryStore m_sqlite {m_folder.path() / "registry.sqlite"};
    CountingStore m_store {m_sqlite};
    CDoReg m_reg {m_store};
};

TEST_F(RegistryNames, HostileNamesNeitherEscapeNorCorruptTheStore)
{
    struct Row {
        std::string name;
        std::int32_t created;
        // The name of the key made directly below the branch, if any.
        std::string listedAs;
    };
    const Row rows[] = {
        {"..", -1, ".."},
        {"..\\..\\..\\Escaped", -1, ".."},
        {"/", -1, "/"},
        {"../../../../etc/passwd", -1, "../../../../etc/passwd"},
        {"\\", 0, ""},
        {"\\\\", 0, ""},
        {"\\Leading", 0, ""},
        {"Double\\\\Separator", 0, ""},
        {"Trailing\\", -1, "Trailing"},
        {std::string(kMaxKeyNameLength + 1, 'x'), 0, ""},
        {std::string(100000, 'x'), 0, ""},
        {std::string("Zero\0Byte", 9), 0, ""},
        {"\xC3\x9C"
         "nic\xC3\xB8"
         "de-\xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87",
            -1,
            "\xC3\x9C"
            "nic\xC3\xB8"
            "de-\xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87"},
        {"'; DROP TABLE reg_keys; --", -1, "'; DROP TABLE reg_keys; --"},
        {"%s%n%x", -1, "%s%n%x"},
    };
    m_reg.CreatKeyLG("Sentinel");
    m_reg.SetStringValueLG("Sentinel", "Path", "C:\\Sentinel");

    for (const Row& row : rows) {
        SCOPED_TRACE(shown(RegVariant(row.name.substr(0, 40))));
        EXPECT_EQ(m_reg.CreatKeyLG(row.name), row.created);
        const bool exists = row.created == -1;
        EXPECT_EQ(m_reg.IsExistKeyLG(row.name), exists);
        EXPECT_EQ(m_reg.SetStringValueLG(row.name, "Path", row.name), exists);
        EXPECT_EQ(shown(m_reg.GetKeyValueLG(row.name, "Path")),
            exists ? shown(RegVariant(row.name)) : "empty");
        EXPECT_EQ(m_reg.SetLongValueLG(row.name, row.name, 7), exists);
        if (exists) {
            EXPECT_THAT(subKeyNames(m_sqlite, CDoReg::kBasePath),
                UnorderedElementsAre(row.listedAs, "Sentinel"));
        } else {
            EXPECT_THAT(subKeyNames(m_sqlite, CDoReg::kBasePath), ElementsAre("Sentinel"));
        }
        EXPECT_EQ(m_reg.DeleteKeyLG(row.name), exists);
        // A tree named with "..": its top below the branch is what goes.
        m_reg.DeleteKeyLG(row.listedAs);
        EXPECT_THAT(subKeyNames(m_sqlite, CDoReg::kBasePath), ElementsAre("Sentinel"));
    }

    EXPECT_FALSE(m_reg.SetStringValueLG("Sentinel", std::string("Path\0Other", 10), "x"));
    EXPECT_FALSE(m_reg.DeleteKeyValueLG("Sentinel", std::string(kMaxValueNameLength + 1, 'v')));
    EXPECT_EQ(shown(m_reg.GetKeyValueLG("Sentinel", "Path")), "text:C:\\Sentinel");
    EXPECT_EQ(m_store.opened(), m_store.closed());
    expectNothingOutsideTheBranch();
}

TEST_F(RegistryNames, NamesWithAnEmptyLevelAreRefusedByEveryMethodBeforeTheStoreSeesThem)
{
    // Such names resolve to the branch itself in the registry, whose App Paths hold every
    // program's entries; refused by the class, they behave the same on every store.
    m_reg.CreatKeyLG("Sentinel");
    m_reg.SetStringValueLG("Sentinel", "Path", "kept");
    m_reg.CreatKeyLG("Sentinel\\Child");
    const int openedBefore = m_store.opened();
    for (const std::string name :
        {"\\", "\\\\", "\\\\\\", "\\Sentinel", "Sentinel\\\\Child", "Sentinel\\\\", "\\Sentinel\\"})
        expectEveryMethodRefuses(m_reg, name);
    EXPECT_EQ(m_store.opened(), openedBefore) << "a refused name reached the store";
    EXPECT_EQ(shown(m_reg.GetKeyValueLG("Sentinel", "Path")), "text:kept");
    EXPECT_EQ(m_reg.SubKeyCount("Sentinel"), 1);
    expectNothingOutsideTheBranch();
}

TEST_F(RegistryNames, TheEmptyNameReadsTheBranchButNeverChangesIt)
{
    m_reg.CreatKeyLG("Tool.exe");
    EXPECT_EQ(m_reg.SubKeyCount(""), 1);
    EXPECT_TRUE(m_reg.IsExistKeyLG(""));
    EXPECT_EQ(m_reg.CreatKeyLG(""), 0);
    EXPECT_FALSE(m_reg.SetStringValueLG("", "Path", "x"));
    EXPECT_FALSE(m_reg.SetLongValueLG("", "Count", 1));
    EXPECT_FALSE(m_reg.SetKeyValueLG("", "Path", 1, std::string("x")));
    EXPECT_FALSE(m_reg.DeleteKeyValueLG("", "Path"));
    EXPECT_FALSE(m_reg.DeleteKeyLG(""));
    EXPECT_EQ(shown(m_reg.GetKeyValueLG("", "Path")), "empty");
    EXPECT_TRUE(m_reg.IsExistKeyLG("Tool.exe"));
}

TEST_F(RegistryNames, OneTrailingSeparatorNamesTheKeyWithoutIt)
{
    EXPECT_EQ(m_reg.CreatKeyLG("Tool.exe\\"), -1);
    EXPECT_EQ(m_reg.CreatKeyLG("Tool.exe\\Sub\\"), -1);
    EXPECT_THAT(subKeyNames(m_sqlite, CDoReg::kBasePath), ElementsAre("Tool.exe"));
    EXPECT_TRUE(m_reg.SetStringValueLG("Tool.exe\\", "Path", "x"));
    EXPECT_EQ(shown(m_reg.GetKeyValueLG("Tool.exe", "Path")), "text:x");
    EXPECT_EQ(m_reg.SubKeyCount("Tool.exe\\"), 1);
    EXPECT_TRUE(m_reg.DeleteKeyLG("Tool.exe\\"));
    EXPECT_FALSE(m_reg.IsExistKeyLG("Tool.exe"));
}

TEST_F(RegistryNames, NamesDifferingOnlyInCaseAreOneKey)
{
    EXPECT_EQ(m_reg.CreatKeyLG("Tool.exe"), -1);
    EXPECT_EQ(m_reg.CreatKeyLG("TOOL.EXE"), -1);
    EXPECT_TRUE(m_reg.SetStringValueLG("tool.exe", "Path", "first"));
    EXPECT_TRUE(m_reg.SetStringValueLG("TOOL.exe", "PATH", "second"));

    EXPECT_EQ(m_reg.SubKeyCount(""), 1);
    EXPECT_THAT(subKeyNames(m_sqlite, CDoReg::kBasePath), ElementsAre("Tool.exe"));
    EXPECT_EQ(shown(m_reg.GetKeyValueLG("tOOL.eXE", "path")), "text:second");
    EXPECT_TRUE(m_reg.DeleteKeyLG("tOOL.eXE"));
    EXPECT_FALSE(m_reg.IsExistKeyLG("Tool.exe"));
}

TEST_F(RegistryNames, LettersOutsideAsciiKeepTheirCase)
{
    EXPECT_EQ(m_reg.CreatKeyLG("\xC3\x89t\xC3\xA9"), -1);
    EXPECT_EQ(m_reg.CreatKeyLG("\xC3\xA9t\xC3\xA9"), -1);
    EXPECT_EQ(m_reg.SubKeyCount(""), 2);
}

TEST_F(RegistryNames, TreesGoAsDeepAsTheRegistryAllows)
{
    // The branch is five levels below the root, and a key may be 512 levels deep.
    const std::size_t allowed = kMaxKeyDepth - 5;
    std::string deepest = "L";
    for (std::size_t level = 1; level < allowed; ++level)
        deepest += "\\L";

    EXPECT_EQ(m_reg.CreatKeyLG("Deep\\" + deepest), 0);
    EXPECT_FALSE(m_reg.IsExistKeyLG("Deep")) << "a refused path was created in part";

    EXPECT_EQ(m_reg.CreatKeyLG(deepest), -1);
    EXPECT_TRUE(m_reg.SetLongValueLG(deepest, "Level", static_cast<std::int32_t>(allowed)));
    EXPECT_EQ(shown(m_reg.GetKeyValueLG(deepest, "Level")), "long:507");
    EXPECT_EQ(m_reg.CreatKeyLG(deepest + "\\Below"), 0);

    EXPECT_TRUE(m_reg.DeleteKeyLG("L"));
    EXPECT_EQ(m_reg.SubKeyCount(""), 0);
    EXPECT_EQ(m_store.opened(), m_store.closed());
    expectNothingOutsideTheBranch();
}

TEST_F(RegistryNames, DeletesAWideAndDeepTree)
{
    ASSERT_EQ(createWideTree(m_reg, "Wide", 4), 3 + 9 + 27 + 81);

    EXPECT_TRUE(m_reg.DeleteKeyLG("Wide"));
    EXPECT_EQ(m_reg.SubKeyCount(""), 0);
    EXPECT_TRUE(m_store.openKeys().empty());
    EXPECT_EQ(m_store.opened(), m_store.closed());
}

} // namespace
} // namespace clampmeter
