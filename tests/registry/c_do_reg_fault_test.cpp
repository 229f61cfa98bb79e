// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "registry/c_do_reg.h"
#include "registry/sqlite_registry_store.h"

#include "counting_store.h"
#include "registry_test_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <limits>
#include <optional>
#include <sstream>

namespace clampmeter {
namespace {

struct CaughtFault {
    const char* name;
    std::optional<StoreCall> failingCall;
    int nth;
    std::function<std::string(CDoReg&)> act;
    std::string expected;
    // The diagnostic label the fault is traced under.
    std::string label;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const CaughtFault& row, std::ostream* out)
{
    *out << row.name;
}

const CaughtFault kFaults[] = {
    {"CreatKeyLG", StoreCall::CreateKey, 1, [](CDoReg& r) { return shown(r.CreatKeyLG("New")); },
        "0", "CreatKeyLG:"},
    {"SetKeyValueLGType4", StoreCall::SetValue, 1,
        [](CDoReg& r) { return shown(r.SetKeyValueLG("Tool.exe", "V", 4, 1)); }, "false",
        "SetKeyValueLG:"},
    {"SetKeyValueLGConversion", std::nullopt, 0,
        [](CDoReg& r) { return shown(r.SetKeyValueLG("Tool.exe", "V", 4, std::string("abc"))); },
        "false", "SetKeyValueLG:"},
    {"SetKeyValueLGType1InnerOpen", StoreCall::OpenKey, 2,
        [](CDoReg& r) { return shown(r.SetKeyValueLG("Tool.exe", "V", 1, std::string("x"))); },
        "false", "SetStringValueLG:"},
    {"GetKeyValueLGSecondQuery", StoreCall::QueryValue, 2,
        [](CDoReg& r) { return shown(r.GetKeyValueLG("Tool.exe", "Path")); }, "empty",
        "GetKeyValueLG:"},
    {"DeleteKeyLGFirstDelete", StoreCall::DeleteKey, 1,
        [](CDoReg& r) { return shown(r.DeleteKeyLG("Tool.exe")); }, "false", "DeleteKeyLG:"},
    {"DeleteSubKeyTreeEnumeration", StoreCall::EnumKey, 1,
        [](CDoReg& r) { return shown(r.DeleteKeyLG("Tool.exe")); }, "false", "DeleteSubKeyTree:"},
    {"DeleteSubKeyTreeTwoLevelsDown", StoreCall::OpenKey, 4,
        [](CDoReg& r) { return shown(r.DeleteKeyLG("Tool.exe")); }, "false", "DeleteSubKeyTree:"},
    {"DeleteSubKeyTreeBranchDeletion", StoreCall::DeleteTree, 1,
        [](CDoReg& r) { return shown(r.DeleteKeyLG("Tool.exe")); }, "false", "DeleteSubKeyTree:"},
    {"DeleteKeyValueLG", StoreCall::DeleteValue, 1,
        [](CDoReg& r) { return shown(r.DeleteKeyValueLG("Tool.exe", "Path")); }, "false",
        "DeleteKeyValueLG:"},
    {"IsExistKeyLG", StoreCall::OpenKey, 1,
        [](CDoReg& r) { return shown(r.IsExistKeyLG("Tool.exe")); }, "false", "IsExistKeyLG:"},
    {"SubKeyCount", StoreCall::EnumKey, 2,
        [](CDoReg& r) { return shown(r.SubKeyCount("Tool.exe")); }, "0", "SubKeyCount:"},
    {"SubKeyCountStoreCount", StoreCall::CountSubKeys, 1,
        [](CDoReg& r) { return shown(r.SubKeyCount("Tool.exe")); }, "0", "SubKeyCount:"},
    {"SetStringValueLG", StoreCall::SetValue, 1,
        [](CDoReg& r) { return shown(r.SetStringValueLG("Tool.exe", "V", "x")); }, "false",
        "SetStringValueLG:"},
    {"SetLongValueLG", StoreCall::SetValue, 1,
        [](CDoReg& r) { return shown(r.SetLongValueLG("Tool.exe", "V", 1)); }, "false",
        "SetLongValueLG:"},
};

class RegistryFault : public ::testing::TestWithParam<CaughtFault> {
protected:
    void SetUp() override
    {
        // Tool.exe\Sub\Leaf, with a value on Tool.exe, for every method to work on.
        m_reg.CreatKeyLG("Tool.exe\\Sub\\Leaf");
        m_reg.SetStringValueLG("Tool.exe", "Path", "C:\\Tool\\tool.exe");
    }

    TempFolder m_folder;
    SqliteRegistryStore m_sqlite {m_folder.path() / "registry.sqlite"};
    // Key by key, so that a fault can strike any call of a count or a deletion.
    CountingStore m_store {m_sqlite, BranchCalls::KeyByKey};
    CDoReg m_reg {m_store};
};

TEST_P(RegistryFault, IsCaughtGivesTheFailureResultAndClosesEveryKey)
{
    const CaughtFault& fault = GetParam();
    if (fault.failingCall)
        m_store.failOn(*fault.failingCall, fault.nth);
    std::ostringstream trace;
    std::streambuf* const previous = std::clog.rdbuf(trace.rdbuf());

    const std::string result = fault.act(m_reg);

    std::clog.rdbuf(previous);
    EXPECT_EQ(result, fault.expected);
    EXPECT_TRUE(m_store.openKeys().empty());
    EXPECT_EQ(m_store.opened(), m_store.closed());
#ifdef NDEBUG
    EXPECT_EQ(trace.str(), "");
#else
    EXPECT_EQ(trace.str().substr(0, fault.label.size() + 1), fault.label + " ") << trace.str();
#endif
}

TEST_F(RegistryFault, LeavesTheStoreUsable)
{
    m_store.failOn(StoreCall::EnumKey, 1);
    std::clog.setstate(std::ios::badbit);
    EXPECT_FALSE(m_reg.DeleteKeyLG("Tool.exe"));
    std::clog.clear();

    EXPECT_EQ(shown(m_reg.GetKeyValueLG("Tool.exe", "Path")), "text:C:\\Tool\\tool.exe");
    EXPECT_TRUE(m_reg.DeleteKeyLG("Tool.exe"));
    EXPECT_FALSE(m_reg.IsExistKeyLG("Tool.exe"));
}

INSTANTIATE_TEST_SUITE_P(CDoReg, RegistryFault, ::testing::ValuesIn(kFaults),
    [](const auto& row) { return std::string(row.param.name); });

// A key with as many sub-keys as asked for, without making them.
class ManySubKeysStore final : public RegistryStore {
public:
    explicit ManySubKeysStore(std::uint32_t subKeys)
        : m_subKeys(subKeys)
    {
    }

    std::uint64_t enumerations = 0;
    int openKeys = 0;

    RegResult createKey(RegKey, std::string_view, RegKey&) override { return kErrorAccessDenied; }
    RegResult openKey(RegKey, std::string_view, RegKey& result) override
    {
        ++openKeys;
        result = 42;
        return kErrorSuccess;
    }
    RegResult setValue(
        RegKey, std::string_view, std::uint32_t, std::span<const std::uint8_t>) override
    {
        return kErrorAccessDenied;
    }
    RegResult queryValue(
        RegKey, std::string_view, std::uint32_t&, std::span<std::uint8_t>, std::uint32_t&) override
    {
        return kErrorFileNotFound;
    }
    RegResult deleteKey(RegKey, std::string_view) override { return kErrorAccessDenied; }
    RegResult deleteValue(RegKey, std::string_view) override { return kErrorFileNotFound; }
    RegResult enumKey(
        RegKey, std::uint32_t index, std::span<char> name, std::uint32_t& nameLength) override
    {
        ++enumerations;
        if (index >= m_subKeys)
            return kErrorNoMoreItems;
        name[0] = 'k';
        name[1] = '\0';
        nameLength = 1;
        return kErrorSuccess;
    }
    RegResult closeKey(RegKey) override
    {
        --openKeys;
        return kErrorSuccess;
    }

private:
    std::uint32_t m_subKeys;
};

TEST(SubKeyCount, GivesZeroForCountsThatDoNotFitSixteenBits)
{
    struct Row {
        std::uint32_t subKeys;
        std::int16_t expected;
    };
    const Row rows[] = {{0, 0}, {1, 1}, {32767, 32767}, {32768, 0}, {65537, 0}, {98304, 0},
        {std::numeric_limits<std::uint32_t>::max(), 0}};
    std::clog.setstate(std::ios::badbit);
    for (const Row& row : rows) {
        ManySubKeysStore store(row.subKeys);
        EXPECT_EQ(CDoReg(store).SubKeyCount("Tool.exe"), row.expected) << row.subKeys;
        EXPECT_EQ(store.openKeys, 0) << row.subKeys;
        EXPECT_LE(store.enumerations, 32768u) << "counting went on past the largest result";
    }
    std::clog.clear();
}

} // namespace
} // namespace clampmeter
