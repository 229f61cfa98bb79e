// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The registry class on the real Windows registry. The branch is shared with every program on
// the machine: each test works below a key of its own with a name no program uses, removes
// it afterwards, and checks that the branch's other entries are still there.

#include "registry/c_do_reg.h"
#include "registry/windows_registry_store.h"

#include "counting_store.h"
#include "registry_test_support.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>

namespace clampmeter {
namespace {

using ::testing::ElementsAre;

/// wine's registry differs from Windows in places; ntdll exports this function under wine only.
bool runningUnderWine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

class WindowsRegistry : public testing::Test {
protected:
    void SetUp() override
    {
        m_before = subKeyNames(m_windows, CDoReg::kBasePath);
        ASSERT_FALSE(m_reg.IsExistKeyLG(m_own)) << "left over from an earlier run: " << m_own;
    }
    void TearDown() override
    {
        m_reg.DeleteKeyLG(m_own);
        EXPECT_EQ(subKeyNames(m_windows, CDoReg::kBasePath), m_before)
            << "the branch's other entries changed";
    }

    /// A name below this test's own key.
    std::string own(std::string_view below) const { return m_own + "\\" + std::string(below); }

    WindowsRegistryStore m_windows;
    CountingStore m_store {m_windows};
    CDoReg m_reg {m_store};
    std::vector<std::string> m_before;
    const std::string m_own = "clampmeter-test-" + std::to_string(std::random_device()());
};

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
             m_own + "\\\\Child", m_own + "\\\\", "\\" + m_own + "\\"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(m_reg.CreatKeyLG(name), 0);
        EXPECT_FALSE(m_reg.SetStringValueLG(name, "Path", "x"));
        EXPECT_FALSE(m_reg.SetLongValueLG(name, "Path", 1));
        EXPECT_EQ(shown(m_reg.GetKeyValueLG(name, "Path")), "empty");
        EXPECT_FALSE(m_reg.DeleteKeyValueLG(name, "Path"));
        EXPECT_FALSE(m_reg.IsExistKeyLG(name));
        EXPECT_EQ(m_reg.SubKeyCount(name), 0);
        EXPECT_FALSE(m_reg.DeleteKeyLG(name));
    }
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
        GTEST_SKIP() << "wine caps an ANSI sub-key path at 259 characters (error 234), so a "
                        "255-character name below the branch cannot be reached";
    const std::string longest(kMaxKeyNameLength, 'k');
    EXPECT_EQ(m_reg.CreatKeyLG(own(longest)), -1);
    EXPECT_TRUE(m_reg.SetStringValueLG(own(longest), "Path", "x"));
    EXPECT_EQ(m_reg.SubKeyCount(m_own), 1);
    EXPECT_EQ(m_reg.CreatKeyLG(own(longest + "k")), 0);
}

} // namespace
} // namespace clampmeter
