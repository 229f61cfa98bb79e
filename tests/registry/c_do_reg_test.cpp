// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "registry/c_do_reg.h"
#include "registry/sqlite_registry_store.h"

#include "counting_store.h"
#include "registry_behaviours.h"
#include "registry_test_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace clampmeter {
namespace {

class RegistryBehaviour : public ::testing::TestWithParam<Behaviour>, public BehaviourStore {
protected:
    RegistryStore& store() override { return m_sqlite; }
    void makeReadableOnly(std::string_view subKeyName) override
    {
        ASSERT_EQ(
            m_sqlite.setKeyAccess(fullPath(subKeyName), KeyAccess::ReadableOnly), kErrorSuccess);
    }

    TempFolder m_folder;
    SqliteRegistryStore m_sqlite {m_folder.path() / "registry.sqlite"};
    CountingStore m_store {m_sqlite};
    CDoReg m_reg {m_store};
};

TEST_P(RegistryBehaviour, GivesItsResultAndClosesEveryKey)
{
    checkBehaviour(GetParam(), m_reg, m_store, *this);
}

INSTANTIATE_TEST_SUITE_P(CDoReg, RegistryBehaviour, ::testing::ValuesIn(registryBehaviours()),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace clampmeter
