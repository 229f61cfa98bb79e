// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "registry/registry_store.h"

#include "registry/opened_key.h"

#include <array>
#include <limits>

namespace clampmeter {
namespace {

// Holds every sub-key name and its terminating zero.
using NameBuffer = std::array<char, kMaxKeyNameLength + 1>;

RegResult deleteTreeKeyByKey(RegistryStore& store, RegKey key)
{
    if (const RegResult deleted = store.deleteKey(key, {}); deleted == kErrorSuccess)
        return deleted;
    NameBuffer name {};
    for (;;) {
        // Any failure ends the loop, so a store error cannot spin it.
        std::uint32_t length = 0;
        if (store.enumKey(key, 0, name, length) != kErrorSuccess)
            break;
        OpenedKey subKey(store);
        if (subKey.open(key, std::string_view(name.data(), length)) != kErrorSuccess
            || deleteTreeKeyByKey(store, subKey.handle()) != kErrorSuccess)
            break;
    }
    return store.deleteKey(key, {});
}

} // namespace

RegResult RegistryStore::countSubKeys(RegKey key, std::uint32_t limit, std::uint32_t& count)
{
    const std::uint32_t stop
        = limit < std::numeric_limits<std::uint32_t>::max() ? limit + 1 : limit;
    NameBuffer name {};
    std::uint32_t length = 0;
    count = 0;
    while (count < stop && enumKey(key, count, name, length) == kErrorSuccess)
        ++count;
    return kErrorSuccess;
}

RegResult RegistryStore::deleteTree(RegKey key)
{
    return deleteTreeKeyByKey(*this, key);
}

} // namespace clampmeter
