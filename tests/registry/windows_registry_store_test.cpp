// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The registry class on the real Windows registry. The branch is shared with every program on
// the machine: each test works below a key of its own with a name no program uses, removes
// it afterwards, and checks that the branch's other entries are still there.

#include "registry/c_do_reg.h"
#include "registry/windows_registry_store.h"

#include "counting_store.h"
#include "own_branch_store.h"
#include "registry_behaviours.h"
#include "registry_test_support.h"
#include "under_wine.h"

#include <windows.h>

#include <sddl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace clampmeter {
namespace {

using ::testing::ElementsAre;

using test::runningUnderWine;

/// Replaces the access rules of the key at `path` below the root with those of `sddl`. The
/// key's owner may always change them, whatever they allow.
bool setAccessRules(const std::string& path, const char* sddl)
{
    PSECURITY_DESCRIPTOR rules = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
            sddl, SDDL_REVISION_1, &rules, nullptr))
        return false;
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, WRITE_DAC, &key);
    if (status == ERROR_SUCCESS) {
        status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, rules);
        RegCloseKey(key);
    }
    LocalFree(rules);
    return status == ERROR_SUCCESS;
}

/// Everyone may read the key, nobody may change it; not inherited from the parent.
constexpr const char* kReadOnlyRules = "D:P(A;;KR;;;WD)";
constexpr const char* kFullAccessRules = "D:(A;;KA;;;WD)";

/// A key of the test's own right below the shared branch, removed afterwards, and a check that
/// the branch's other entries are still there.
class OwnKey {
public:
    void enter()
    {
        m_before = subKeyNames(m_windows, CDoReg::kBasePath);
        ASSERT_FALSE(CDoReg(m_windows).IsExistKeyLG(name)) << "left over from an earlier run";
        ASSERT_EQ(CDoReg(m_windows).CreatKeyLG(name), -1);
    }
    void leave(const std::vector<std::string>& lockedPaths)
    {
        for (const std::string& path : lockedPaths)
            setAccessRules(path, kFullAccessRules);
        EXPECT_TRUE(CDoReg(m_windows).DeleteKeyLG(name));
        EXPECT_EQ(subKeyNames(m_windows, CDoReg::kBasePath), m_before)
            << "the branch's other entries changed";
    }

    const std::string name = "clampmeter-test-" + std::to_string(std::random_device()());

private:
    WindowsRegistryStore m_windows;
    std::vector<std::string> m_before;
};

class WindowsRegistry : public testing::Test {
protected:
    void SetUp() override { m_ownKey.enter(); }
    void TearDown() override { m_ownKey.leave({}); }

    /// A name below this test's own key.
    std::string own(std::string_view below) const { return m_own + "\\" + std::string(below); }

    OwnKey m_ownKey;
    const std::string& m_own = m_ownKey.name;
    WindowsRegistryStore m_windows;
    CountingStore m_store {m_windows};
    CDoReg m_reg {m_store};
};

// The registry class's whole table on the real registry, with the branch moved into a key of
// the test's own so that counting and emptying it touches nothing else.
class WindowsRegistryBehaviour : public testing::TestWithParam<Behaviour>, public BehaviourStore {
protected:
    void SetUp() override { m_ownKey.enter(); }
    void TearDown() override { m_ownKey.leave(m_locked); }

    RegistryStore& store() override { return m_branch; }
    void makeReadableOnly(std::string_view subKeyName) override
    {
        const std::string path = m_branch.moved(fullPath(subKeyName));
        m_locked.push_back(path);
        ASSERT_TRUE(setAccessRules(path, kReadOnlyRules)) << path;
    }

    OwnKey m_ownKey;
    WindowsRegistryStore m_windows;
    OwnBranchStore m_branch {m_windows, m_ownKey.name};
    CountingStore m_store {m_branch};
    CDoReg m_reg {m_store};
    std::vector<std::string> m_locked;
};

TEST_P(WindowsRegistryBehaviour, GivesItsResultAndClosesEveryKey)
{
    const Behaviour& behaviour = GetParam();
    if (behaviour.wineDiffers != nullptr && runningUnderWine())
        GTEST_SKIP() << behaviour.wineDiffers;
    checkBehaviour(behaviour, m_reg, m_store, *this);
}

INSTANTIATE_TEST_SUITE_P(CDoReg, WindowsRegistryBehaviour,
    ::testing::ValuesIn(registryBehaviours()),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(WindowsRegistry, EveryMethodWorksBelowTheBranch)
{
    EXPECT_EQ(m_reg.CreatKeyLG(own("Tool.exe\\Sub")), -1);
    EXPECT_TRUE(m_reg.SetStringValueLG(own("Tool.exe"), "Path", "C:\\Tool"));
    EXPECT_TRUE(m_reg.SetLongValueLG(own("Tool.exe"), "Count", -7));
    EXPECT_TRUE(m_reg.SetKeyValueLG(own("Tool.exe"), "Kind", 1, std::string("tool")));
    EXPECT_EQ(shown(m_reg.GetKeyValueLG(own("Tool.exe"), "Path")), "text:C:\\Tool");
    EXPECT_EQ(shown(m_reg.GetKeyValueLG(own("Tool.exe"), "Count")), "long:-7");
    EXPECT_EQ(shown(m_reg.GetKeyValueLG(own("Tool.exe"), "Kind")), "text:tool");
    EXPECT_EQ(shown(m_reg.GetKeyValueLG(own("Tool.exe"), "Missing")), "empty");
    EXPECT_TRUE(m_reg.DeleteKeyValueLG(own("Tool.exe"), "Count"));
    EXPECT_EQ(shown(m_reg.GetKeyValueLG(own("Tool.exe"), "Count")), "empty");
    EXPECT_EQ(m_reg.SubKeyCount(own("Tool.exe")), 1);
    EXPECT_TRUE(m_reg.DeleteKeyLG(own("Tool.exe")));
    EXPECT_FALSE(m_reg.IsExistKeyLG(own("Tool.exe")));
    EXPECT_EQ(m_store.opened(), m_store.closed());
}

TEST_F(WindowsRegistry, NamesWithAnEmptyLevelNeverReachTheBranch)
{
    // The registry resolves "\" and "\\" to the branch itself: a delete would take every
    // program's entries with it.
    m_reg.CreatKeyLG(own("Child"));
    m_reg.SetStringValueLG(m_own, "Path", "kept");
    for (const std::string& name : {std::string("\\"), std::string("\\\\"), "\\" + m_own,
             m_own + "\\\\Child", m_own + "\\\\", "\\" + m_own + "\\"})
        expectEveryMethodRefuses(m_reg, name);
    EXPECT_EQ(shown(m_reg.GetKeyValueLG(m_own, "Path")), "text:kept");
    EXPECT_EQ(m_reg.SubKeyCount(m_own), 1);
    EXPECT_FALSE(m_reg.DeleteKeyLG(""));
    EXPECT_TRUE(m_reg.IsExistKeyLG(""));
}

TEST_F(WindowsRegistry, OneTrailingSeparatorNamesTheKeyWithoutIt)
{
    EXPECT_EQ(m_reg.CreatKeyLG(own("Tool.exe\\")), -1);
    EXPECT_THAT(subKeyNames(m_windows, fullPath(m_own)), ElementsAre("Tool.exe"));
    EXPECT_TRUE(m_reg.SetStringValueLG(own("Tool.exe\\"), "Path", "x"));
    EXPECT_EQ(shown(m_reg.GetKeyValueLG(own("Tool.exe"), "Path")), "text:x");
    EXPECT_TRUE(m_reg.DeleteKeyLG(own("Tool.exe\\")));
    EXPECT_FALSE(m_reg.IsExistKeyLG(own("Tool.exe")));
}

TEST_F(WindowsRegistry, NamesDifferingOnlyInCaseAreOneKey)
{
    EXPECT_EQ(m_reg.CreatKeyLG(own("Tool.exe")), -1);
    EXPECT_EQ(m_reg.CreatKeyLG(own("TOOL.EXE")), -1);
    EXPECT_TRUE(m_reg.SetStringValueLG(own("TOOL.exe"), "PATH", "second"));
    EXPECT_THAT(subKeyNames(m_windows, fullPath(m_own)), ElementsAre("Tool.exe"));
    EXPECT_EQ(shown(m_reg.GetKeyValueLG(own("tOOL.eXE"), "path")), "text:second");
}

TEST_F(WindowsRegistry, KeyNamesOfTheLongestLengthWork)
{
    if (runningUnderWine())
        GTEST_SKIP() << kWinePathCap;
    const std::string longest(kMaxKeyNameLength, 'k');
    EXPECT_EQ(m_reg.CreatKeyLG(own(longest)), -1);
    EXPECT_TRUE(m_reg.SetStringValueLG(own(longest), "Path", "x"));
    EXPECT_EQ(m_reg.SubKeyCount(m_own), 1);
    EXPECT_EQ(m_reg.CreatKeyLG(own(longest + "k")), 0);
}

TEST_F(WindowsRegistry, TreesGoAsDeepAsTheRegistryAllows)
{
    if (runningUnderWine())
        GTEST_SKIP() << "wine caps an ANSI sub-key path at 259 characters, far fewer than 512 "
                        "levels";
    // The registry keeps keys up to 512 levels below the root; the test's own key is the
    // sixth level.
    const std::size_t allowed = 512 - 6;
    std::string deepest = "L";
    for (std::size_t level = 1; level < allowed; ++level)
        deepest += "\\L";
    EXPECT_EQ(m_reg.CreatKeyLG(own(deepest)), -1);
    EXPECT_TRUE(m_reg.SetLongValueLG(own(deepest), "Level", static_cast<std::int32_t>(allowed)));
    EXPECT_EQ(shown(m_reg.GetKeyValueLG(own(deepest), "Level")), "long:506");
    EXPECT_EQ(m_reg.CreatKeyLG(own(deepest + "\\Below")), 0);
    EXPECT_TRUE(m_reg.DeleteKeyLG(own("L")));
    EXPECT_EQ(m_reg.SubKeyCount(m_own), 0);
    EXPECT_EQ(m_store.opened(), m_store.closed());
}

TEST_F(WindowsRegistry, DeletesAWideAndDeepTree)
{
    ASSERT_EQ(createWideTree(m_reg, own("Wide"), 4), 3 + 9 + 27 + 81);
    ASSERT_EQ(m_reg.SubKeyCount(own("Wide\\b\\c\\a")), 3);

    EXPECT_TRUE(m_reg.DeleteKeyLG(own("Wide")));
    EXPECT_EQ(m_reg.SubKeyCount(m_own), 0);
    EXPECT_TRUE(m_store.openKeys().empty());
    EXPECT_EQ(m_store.opened(), m_store.closed());
}

} // namespace
} // namespace clampmeter
