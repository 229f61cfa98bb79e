// SPDX-FileCopyrightText: 2026 The clampmeter developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "registry/c_do_reg.h"
#include "registry/reg_variant.h"
#include "registry/registry_store.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace clampmeter {

/// Results as short texts, so that a table of cases can state them side by side.
inline std::string shown(bool value)
{
    return value ? "true" : "false";
}

inline std::string shown(std::int32_t value)
{
    return std::to_string(value);
}

inline std::string shown(std::int16_t value)
{
    return std::to_string(value);
}

/// Texts show every byte outside printable ASCII as \xNN.
inline std::string shown(const RegVariant& value)
{
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return "long:" + std::to_string(*number);
    if (const auto* real = std::get_if<double>(&value))
        return "double:" + regVariantToText(*real);
    if (const auto* text = std::get_if<std::string>(&value)) {
        std::string result = "text:";
        for (const char c : *text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x20 && byte < 0x7f) {
                result += c;
            } else {
                std::array<char, 5> escaped {};
                std::snprintf(escaped.data(), escaped.size(), "\\x%02X", byte);
                result += escaped.data();
            }
        }
        return result;
    }
    return "empty";
}

/// The full path below the root of a key that CDoReg calls `subKeyName`.
inline std::string fullPath(std::string_view subKeyName)
{
    return std::string(CDoReg::kBasePath) + std::string(subKeyName);
}

/// Writes a value of any type and size straight into a store; false if that fails.
inline bool writeRaw(RegistryStore& store, std::string_view subKeyName, std::string_view valueName,
    std::uint32_t type, std::vector<std::uint8_t> data)
{
    RegKey key = 0;
    if (store.openKey(kHKeyLocalMachine, fullPath(subKeyName), key) != kErrorSuccess)
        return false;
    const bool written = store.setValue(key, valueName, type, data) == kErrorSuccess;
    store.closeKey(key);
    return written;
}

/// The names of the direct sub-keys of the key at `path` below the root, in the store's order.
inline std::vector<std::string> subKeyNames(RegistryStore& store, std::string_view path)
{
    std::vector<std::string> names;
    RegKey key = 0;
    if (store.openKey(kHKeyLocalMachine, path, key) != kErrorSuccess)
        return names;
    std::array<char, 256> name {};
    std::uint32_t length = 0;
    for (std::uint32_t i = 0; store.enumKey(key, i, name, length) == kErrorSuccess; ++i)
        names.emplace_back(name.data(), length);
    store.closeKey(key);
    return names;
}

/// Every method of the class refuses `name`: nothing is made, read, written or deleted.
inline void expectEveryMethodRefuses(CDoReg& reg, const std::string& name)
{
    SCOPED_TRACE(name);
    EXPECT_EQ(reg.CreatKeyLG(name), 0);
    EXPECT_FALSE(reg.SetKeyValueLG(name, "Path", 1, std::string("x")));
    EXPECT_FALSE(reg.SetStringValueLG(name, "Path", "x"));
    EXPECT_FALSE(reg.SetLongValueLG(name, "Path", 1));
    EXPECT_EQ(shown(reg.GetKeyValueLG(name, "Path")), "empty");
    EXPECT_FALSE(reg.DeleteKeyValueLG(name, "Path"));
    EXPECT_FALSE(reg.IsExistKeyLG(name));
    EXPECT_EQ(reg.SubKeyCount(name), 0);
    EXPECT_FALSE(reg.DeleteKeyLG(name));
}

/// Makes `root` with three sub-keys "a", "b", "c", each with three more, `depth` levels down,
/// every key holding a value; the number of keys made below `root` (all of them: 3 + 9 + …).
inline int createWideTree(CDoReg& reg, const std::string& root, int depth)
{
    std::vector<std::string> level = {root};
    int made = 0;
    for (int down = 0; down < depth; ++down) {
        std::vector<std::string> next;
        for (const std::string& parent : level) {
            for (const char* child : {"a", "b", "c"}) {
                next.push_back(parent + "\\" + child);
                if (reg.CreatKeyLG(next.back()) == -1
                    && reg.SetStringValueLG(next.back(), "Path", next.back()))
                    ++made;
            }
        }
        level = next;
    }
    return made;
}

} // namespace clampmeter
