// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "registry/registry_store.h"

#include <map>
#include <optional>
#include <set>
#include <stdexcept>

namespace clampmeter {

enum class StoreCall {
    CreateKey,
    OpenKey,
    SetValue,
    QueryValue,
    DeleteKey,
    DeleteValue,
    EnumKey,
    CountSubKeys,
    DeleteTree,
};

/// How the counting store answers countSubKeys() and deleteTree().
enum class BranchCalls {
    /// Passed on to the other store, which may answer in one step.
    PassedOn,
    /// Done key by key through this store's own calls, as a store without a quicker way does.
    KeyByKey,
};

/// Passes every call on to another store, keeps track of the keys opened through it and, when
/// asked, throws a fault instead of making one chosen call.
class CountingStore final : public RegistryStore {
public:
    explicit CountingStore(RegistryStore& inner, BranchCalls branchCalls = BranchCalls::PassedOn)
        : m_inner(inner)
        , m_branchCalls(branchCalls)
    {
    }

    /// The `nth` call (from 1) of `call` from now on throws std::runtime_error("injected fault").
    void failOn(StoreCall call, int nth) { m_fault = Fault {call, m_calls[call] + nth}; }

    int opened() const { return m_opened; }
    int closed() const { return m_closed; }
    /// Keys opened through this store and not closed yet.
    const std::set<RegKey>& openKeys() const { return m_open; }

    RegResult createKey(RegKey parent, std::string_view subKey, RegKey& result) override
    {
        enter(StoreCall::CreateKey);
        const RegResult created = m_inner.createKey(parent, subKey, result);
        return opening(created, result);
    }
    RegResult openKey(RegKey parent, std::string_view subKey, RegKey& result) override
    {
        enter(StoreCall::OpenKey);
        const RegResult opened = m_inner.openKey(parent, subKey, result);
        return opening(opened, result);
    }
    RegResult setValue(RegKey key, std::string_view valueName, std::uint32_t type,
        std::span<const std::uint8_t> data) override
    {
        enter(StoreCall::SetValue);
        return m_inner.setValue(key, valueName, type, data);
    }
    RegResult queryValue(RegKey key, std::string_view valueName, std::uint32_t& type,
        std::span<std::uint8_t> buffer, std::uint32_t& size) override
    {
        enter(StoreCall::QueryValue);
        return m_inner.queryValue(key, valueName, type, buffer, size);
    }
    RegResult deleteKey(RegKey key, std::string_view subKey) override
    {
        enter(StoreCall::DeleteKey);
        return m_inner.deleteKey(key, subKey);
    }
    RegResult deleteValue(RegKey key, std::string_view valueName) override
    {
        enter(StoreCall::DeleteValue);
        return m_inner.deleteValue(key, valueName);
    }
    RegResult enumKey(
        RegKey key, std::uint32_t index, std::span<char> name, std::uint32_t& nameLength) override
    {
        enter(StoreCall::EnumKey);
        return m_inner.enumKey(key, index, name, nameLength);
    }
    RegResult closeKey(RegKey key) override
    {
        const RegResult result = m_inner.closeKey(key);
        if (result == kErrorSuccess && m_open.erase(key) == 1)
            ++m_closed;
        return result;
    }
    RegResult countSubKeys(RegKey key, std::uint32_t limit, std::uint32_t& count) override
    {
        enter(StoreCall::CountSubKeys);
        if (m_branchCalls == BranchCalls::KeyByKey)
            return RegistryStore::countSubKeys(key, limit, count);
        return m_inner.countSubKeys(key, limit, count);
    }
    RegResult deleteTree(RegKey key) override
    {
        enter(StoreCall::DeleteTree);
        if (m_branchCalls == BranchCalls::KeyByKey)
            return RegistryStore::deleteTree(key);
        return m_inner.deleteTree(key);
    }

private:
    struct Fault {
        StoreCall call;
        int atCall;
    };

    void enter(StoreCall call)
    {
        const int count = ++m_calls[call];
        if (m_fault && m_fault->call == call && count == m_fault->atCall) {
            m_fault.reset();
            throw std::runtime_error("injected fault");
        }
    }
    RegResult opening(RegResult result, RegKey key)
    {
        if (result == kErrorSuccess) {
            ++m_opened;
            m_open.insert(key);
        }
        return result;
    }

    RegistryStore& m_inner;
    BranchCalls m_branchCalls;
    std::optional<Fault> m_fault;
    std::map<StoreCall, int> m_calls;
    std::set<RegKey> m_open;
    int m_opened = 0;
    int m_closed = 0;
};

} // namespace clampmeter
