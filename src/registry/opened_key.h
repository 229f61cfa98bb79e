// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "registry/registry_store.h"

#include <string_view>

namespace clampmeter {

/// A key opened or created through a store, closed when this object goes, whichever way the
/// code that opened it leaves.
class OpenedKey {
public:
    explicit OpenedKey(RegistryStore& store)
        : m_store(store)
    {
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    ~OpenedKey()
    {
        if (!m_open)
            return;
        try {
            m_store.closeKey(m_key);
        } catch (...) {
            // Nothing more can be done for a store that fails to close.
        }
    }

    RegResult open(RegKey parent, std::string_view subKey)
    {
        const RegResult result = m_store.openKey(parent, subKey, m_key);
        m_open = result == kErrorSuccess;
        return result;
    }

    RegResult create(RegKey parent, std::string_view subKey)
    {
        const RegResult result = m_store.createKey(parent, subKey, m_key);
        m_open = result == kErrorSuccess;
        return result;
    }

    RegKey handle() const { return m_key; }

private:
    RegistryStore& m_store;
    RegKey m_key = 0;
    bool m_open = false;
};

} // namespace clampmeter
